// The main window: the controls at their places, wired to the window's logic (FormCore).
// Message boxes, the save dialog, the printer, the settings store and the program folder come
// from the environment, so that tests can answer them.
#pragma once

#include "Main.h"
#include "form_core.h"
#include "seams.h"
#include "settings.h"

#include <QCursor>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillion {

class LimitedLineEdit;
class PictureArea;
class PictureBox;

struct Form1Environment {
    // Where the skin (x/o.cjs) and the hand cursor (HAND-M.CUR) are looked for; empty: the
    // program's folder.
    QString programFolder;
    // Each defaults to the real thing: QMessageBox, QFileDialog, the default printer, the
    // user's QSettings.
    std::function<MsgBoxResult(const MessageBoxRequest&)> messageBox;
    std::function<std::u16string(const SaveDialogRequest&)> saveDialog;
    std::function<std::unique_ptr<Printer>()> printerFactory;
    std::shared_ptr<SettingsStore> settings;
    // Called as each numbered step begins (UserInterface::BeforeStep); none by default.
    std::function<void(std::u16string_view, int)> beforeStep;
};

class Form1 : public QWidget, public FormControls, public UserInterface, public SkinWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 536, kClientHeight = 430; // 8040 x 6450 twips
    static constexpr int kPictureAreaHeight = 1800;               // twips, 120 pixels

    // Builds the controls and runs Form_Load.
    explicit Form1(Form1Environment environment = {}, QWidget* parent = nullptr);
    ~Form1() override;

    FormCore& Core() { return core_; }
    bool HasHandCursor() const { return hasHandCursor_; }
    const QCursor& HandCursor() const { return handCursor_; }
    const SkinFramework& Skin() const { return skin_; }

    // FormControls
    std::u16string Text() const override;
    void SetText(const std::u16string& text) override;
    Symbology SelectedSymbology() const override;
    bool CaptionTicked() const override;
    int CaptionPositionIndex() const override;
    int FontStyleIndex() const override;
    void SetTypingLimit(int characters) override;
    void SetOptionsFrameEnabled(bool enabled) override;

    // UserInterface
    MsgBoxResult ShowMessage(const MessageBoxRequest& box) override;
    std::u16string ShowSaveDialog(const SaveDialogRequest& dialog) override;
    void DoEvents() override;
    void SetMousePointer(MousePointer pointer) override;
    std::unique_ptr<Printer> CreatePrinter() override;
    void BeforeStep(std::u16string_view handlerName, int step) override;

    // SkinWindow
    void SetButtonFaceBackgrounds() override;
    void SetSkinStyleSheet(const QString& styleSheet) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Connect();
    void Form_Load();
    void SyncPictures();
    // Runs a handler of the core, then shows the pictures as it left them.
    void Run(void (FormCore::*handler)());

    Form1Environment env_;
    FormCore core_;
    SkinFramework skin_;
    QCursor handCursor_;
    bool hasHandCursor_ = false;

    QPushButton* pushButton1_ = nullptr;
    QPushButton* pushButton2_ = nullptr;
    QPushButton* pushButton3_ = nullptr;
    QPushButton* pushButton4_ = nullptr;
    QPushButton* pushButton5_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QRadioButton* option3_ = nullptr;
    QRadioButton* option4_ = nullptr;
    LimitedLineEdit* text1_ = nullptr;
    QCheckBox* check4_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QFrame* shape1_ = nullptr;
    PictureArea* pictureArea_ = nullptr;
    PictureBox* picture1_ = nullptr;
    PictureBox* picture2_ = nullptr;
};

} // namespace quillion
