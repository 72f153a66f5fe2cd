#include "Form1.h"

#include "app_icon.h"
#include "cursor_file.h"
#include "frame_style.h"
#include "limited_line_edit.h"
#include "messages.h"
#include "picture_area.h"
#include "picture_box.h"
#include "qt_dialogs.h"
#include "step_runner.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace quillion {

namespace {

// Positions and sizes are given in twips, 15 to the pixel.
int Px(int twips) {
    return int(std::lround(twips / double(kTwipsPerPixel)));
}

template <class W> W* Place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
    return widget;
}

QFont WindowFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    font.setBold(true);
    return font;
}

QFont PushButtonFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    return font;
}

Form1Environment Prepared(Form1Environment env) {
    if (env.programFolder.isEmpty())
        env.programFolder = QCoreApplication::applicationDirPath();
    if (!env.settings)
        env.settings = CreateUserSettings();
    return env;
}

} // namespace

Form1::Form1(Form1Environment environment, QWidget* parent)
    : QWidget(parent), env_(Prepared(std::move(environment))),
      core_(*this, *this, env_.settings.get()) {
    setObjectName(QStringLiteral("Form1"));
    BuildControls();
    Connect();
    Form_Load();
    // Typing goes to the text box from the start, after the text it holds.
    text1_->setFocus(Qt::OtherFocusReason);
    text1_->end(false);
}

Form1::~Form1() = default;

void Form1::BuildControls() {
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont());
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    // The focus shows on every control, however it got there (Qt shows it only after Tab).
    setAttribute(Qt::WA_KeyboardFocusChange);

    auto button = [this](const char* name, const QString& caption, int l, int t, int w, int h) {
        auto* b = Place(new QPushButton(caption, this), name, l, t, w, h);
        b->setFont(PushButtonFont());
        b->setAutoDefault(false);
        return b;
    };
    pushButton4_ = button("PushButton4", QStringLiteral("Help"), 120, 120, 3840, 405);
    pushButton5_ =
        button("PushButton5", QStringLiteral("Load Sample/Example Barcode"), 4080, 120, 3840, 405);

    frame1_ =
        Place(new QGroupBox(QStringLiteral("Barcode Type"), this), "Frame1", 120, 600, 7800, 700);
    option1_ = Place(new QRadioButton(QStringLiteral("Code 128"), frame1_), "Option1", 240, 300,
                     1185, 225);
    option2_ = Place(new QRadioButton(QStringLiteral("Code 39"), frame1_), "Option2", 1680, 300,
                     1185, 225);
    option3_ = Place(new QRadioButton(QStringLiteral("UPC - A"), frame1_), "Option3", 3000, 300,
                     1185, 225);
    option4_ = Place(new QRadioButton(QStringLiteral("UPC - E"), frame1_), "Option4", 4320, 300,
                     1185, 225);
    option1_->setChecked(true);
    frame1_->setStyle(FrameStyle::Instance());

    frame3_ = Place(new QGroupBox(QStringLiteral("Text To Barcode"), this), "Frame3", 120, 1395,
                    7800, 800);
    frame3_->setStyle(FrameStyle::Instance());
    text1_ = Place(new LimitedLineEdit(frame3_), "Text1", 180, 300, 7420, 345);

    frame2_ = Place(new QGroupBox(QStringLiteral("Barcode 128 Options"), this), "Frame2", 120, 2280,
                    7800, 1160);
    frame2_->setStyle(FrameStyle::Instance());
    check4_ = Place(new QCheckBox(QStringLiteral(" With Caption"), frame2_), "Check4", 225, 300,
                    1725, 240);
    label2_ =
        Place(new QLabel(QStringLiteral("Alignment:"), frame2_), "Label2", 225, 695, 900, 225);
    combo1_ = Place(new QComboBox(frame2_), "Combo1", 1215, 650, 2370, 345);
    label3_ = Place(new QLabel(QStringLiteral("Style:"), frame2_), "Label3", 4200, 690, 465, 225);
    // A label as wide as its caption, where the font is a few pixels wider than the host's.
    for (QLabel* label : {label2_, label3_})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    combo2_ = Place(new QComboBox(frame2_), "Combo2", 4770, 650, 2370, 345);

    pushButton2_ =
        button("PushButton2", QStringLiteral("Start Generating Barcode"), 120, 3555, 7800, 405);

    shape1_ = Place(new QFrame(this), "Shape1", 120, 4080, FormCore::kShape1Width,
                    FormCore::kShape1Height);
    shape1_->setAutoFillBackground(true);
    // The picture area lies on the backing and reaches a few pixels below it, where a UPC
    // picture (109 pixels high) ends.
    pictureArea_ = Place(new PictureArea(core_, this), "PictureArea", 120, 4080,
                         FormCore::kShape1Width, kPictureAreaHeight);
    picture1_ = pictureArea_->Picture1();

    pushButton1_ = button("PushButton1", QStringLiteral("Save As JPG"), 120, 5925, 3840, 405);
    pushButton3_ = button("PushButton3", QStringLiteral("Print Barcode"), 4080, 5925, 3840, 405);

    // The export picture lies below the client area and is never shown.
    picture2_ = new PictureBox(core_.Picture2(), this);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    picture2_->move(Px(120), Px(7320));
    picture2_->hide();
}

void Form1::Connect() {
    connect(pushButton1_, &QPushButton::clicked, this,
            [this] { Run(&FormCore::PushButton1_Click); });
    connect(pushButton2_, &QPushButton::clicked, this,
            [this] { Run(&FormCore::PushButton2_Click); });
    connect(pushButton3_, &QPushButton::clicked, this,
            [this] { Run(&FormCore::PushButton3_Click); });
    connect(pushButton4_, &QPushButton::clicked, this,
            [this] { Run(&FormCore::PushButton4_Click); });
    connect(pushButton5_, &QPushButton::clicked, this,
            [this] { Run(&FormCore::PushButton5_Click); });
    const std::pair<QRadioButton*, void (FormCore::*)()> options[] = {
        {option1_, &FormCore::Option1_Click},
        {option2_, &FormCore::Option2_Click},
        {option3_, &FormCore::Option3_Click},
        {option4_, &FormCore::Option4_Click}};
    for (const auto& [option, handler] : options)
        connect(option, &QRadioButton::toggled, this, [this, handler = handler](bool on) {
            if (on)
                Run(handler);
        });
    connect(check4_, &QCheckBox::toggled, this, [this] { core_.Check4_Click(); });
    connect(text1_, &QLineEdit::textChanged, this, [this] { core_.Text1_Change(); });
    // Enter in the text box generates, as the button does.
    connect(text1_, &QLineEdit::returnPressed, pushButton2_, &QPushButton::click);

    // Mouse-move handlers: the push buttons show the hand, the plain parts the default
    // pointer; option buttons and lists have none (their moves stop at them).
    for (QWidget* w : std::initializer_list<QWidget*>{
             this,    pushButton1_, pushButton2_, pushButton3_, pushButton4_, pushButton5_,
             frame1_, frame2_,      frame3_,      label2_,      label3_,      check4_,
             text1_,  picture1_,    option1_,     option2_,     option3_,     option4_,
             combo1_, combo2_,      pictureArea_}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void Form1::Form_Load() {
    StepRunner step(*this, u"Form_Load");
    step(100, [&] { ApplySkin(env_.programFolder, skin_, *this); });
    const QString cursorPath = CursorFilePath(env_.programFolder);
    // (104) A missing or unreadable cursor file leaves the system's arrow, without a word; so
    // does anything that is not a regular file (a FIFO would hold start-up).
    if (FileExists(cursorPath) && IsRegularFile(cursorPath) && QFileInfo(cursorPath).isReadable()) {
        step(106, [&] {
            const CursorImage cursor = ReadCursorFile(cursorPath);
            handCursor_ =
                QCursor(QPixmap::fromImage(cursor.image), cursor.hotSpot.x(), cursor.hotSpot.y());
            hasHandCursor_ = true;
        });
    }
    step(126, [&] {
        setWindowTitle(QString::fromStdU16String(kProductName));
        setWindowIcon(MakeAppIcon());
        core_.SetAppTitle();
    });
    step(128, [&] { combo1_->addItem(QStringLiteral("Bottom")); });
    step(130, [&] { combo1_->addItem(QStringLiteral("Top")); });
    step(132, [&] { combo1_->setCurrentIndex(0); });
    int stepNumber = 134;
    for (const char* style : {"Regular", "Bold", "Italic", "BoldItalic", "Underline"}) {
        step(stepNumber, [&] { combo2_->addItem(QString::fromLatin1(style)); });
        stepNumber += 2;
    }
    step(144, [&] { combo2_->setCurrentIndex(0); });
    step(146, [&] { SetText(ReadStoredBarcode(*env_.settings)); });
    step(148, [&] { check4_->setChecked(ReadStoredWithCaption(*env_.settings)); });
    step(150, [&] {
        QPalette p = shape1_->palette();
        p.setColor(QPalette::Window, Qt::white);
        shape1_->setPalette(p);
    });
}

void Form1::Run(void (FormCore::*handler)()) {
    (core_.*handler)();
    SyncPictures();
}

void Form1::SyncPictures() {
    pictureArea_->Sync();
    picture2_->Sync();
}

// ---- FormControls --------------------------------------------------------------------------

std::u16string Form1::Text() const {
    return text1_->text().toStdU16String();
}

void Form1::SetText(const std::u16string& text) {
    // Not fromStdU16String: it takes a leading U+FEFF or U+FFFE for a byte-order mark.
    text1_->SetProgramText(QStringView(text).toString());
}

Symbology Form1::SelectedSymbology() const {
    if (option1_->isChecked())
        return Symbology::Code128;
    if (option2_->isChecked())
        return Symbology::Code39;
    if (option3_->isChecked())
        return Symbology::UpcA;
    if (option4_->isChecked())
        return Symbology::UpcE;
    return Symbology::None;
}

bool Form1::CaptionTicked() const {
    return check4_->isChecked();
}
int Form1::CaptionPositionIndex() const {
    return combo1_->currentIndex();
}
int Form1::FontStyleIndex() const {
    return combo2_->currentIndex();
}
void Form1::SetTypingLimit(int characters) {
    text1_->SetTypingLimit(characters);
}
void Form1::SetOptionsFrameEnabled(bool enabled) {
    frame2_->setEnabled(enabled);
}

// ---- UserInterface -------------------------------------------------------------------------

MsgBoxResult Form1::ShowMessage(const MessageBoxRequest& box) {
    return env_.messageBox ? env_.messageBox(box) : ShowQtMessageBox(this, box);
}

std::u16string Form1::ShowSaveDialog(const SaveDialogRequest& dialog) {
    return env_.saveDialog ? env_.saveDialog(dialog) : ShowQtSaveDialog(this, dialog);
}

void Form1::DoEvents() {
    SyncPictures();
    QCoreApplication::processEvents();
}

void Form1::SetMousePointer(MousePointer pointer) {
    switch (pointer) {
    case MousePointer::Hourglass:
        setCursor(Qt::WaitCursor);
        break;
    case MousePointer::Custom:
        if (hasHandCursor_)
            setCursor(handCursor_);
        else
            setCursor(Qt::ArrowCursor);
        break;
    case MousePointer::Default:
        unsetCursor();
        break;
    }
}

std::unique_ptr<Printer> Form1::CreatePrinter() {
    return env_.printerFactory ? env_.printerFactory() : CreateDefaultPrinter();
}

void Form1::BeforeStep(std::u16string_view handlerName, int step) {
    if (env_.beforeStep)
        env_.beforeStep(handlerName, step);
}

// ---- SkinWindow ----------------------------------------------------------------------------

void Form1::SetButtonFaceBackgrounds() {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    auto paint = [&](QWidget* w) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, buttonFace);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    };
    paint(this);
    for (QWidget* w : findChildren<QWidget*>())
        if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QGroupBox*>(w) || qobject_cast<QLabel*>(w))
            paint(w);
    // The backing rectangle keeps its white.
    QPalette p = shape1_->palette();
    p.setColor(QPalette::Window, Qt::white);
    shape1_->setPalette(p);
}

void Form1::SetSkinStyleSheet(const QString& styleSheet) {
    setStyleSheet(styleSheet);
}

// ---- Events --------------------------------------------------------------------------------

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Qt drops the focus frame after a click; it stays on in this window.
        setAttribute(Qt::WA_KeyboardFocusChange);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        // Enter on a focused push button clicks it, as Space does.
        auto* button = qobject_cast<QPushButton*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::MouseMove)
        return QWidget::eventFilter(watched, event);
    const bool optionOrList = watched == option1_ || watched == option2_ || watched == option3_ ||
                              watched == option4_ || watched == combo1_ || watched == combo2_;
    if (!optionOrList) {
        const bool button = watched == pushButton1_ || watched == pushButton2_ ||
                            watched == pushButton3_ || watched == pushButton4_ ||
                            watched == pushButton5_;
        core_.MouseMove(button ? FormCore::PointerZone::PushButton : FormCore::PointerZone::Plain);
    }
    // The move belongs to the control under the pointer: it does not go on to the frame or
    // window behind it. With a button held the control itself still needs it.
    return static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton;
}

void Form1::closeEvent(QCloseEvent* event) {
    // Form_Unload: closing the window ends the program, its other windows with it.
    event->accept();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    QCoreApplication::quit();
}

} // namespace quillion
