// The picture area on its white backing: Picture1 in a strip that scrolls sideways when the
// picture is wider than the backing. The area takes the focus (click or Tab) and shows it; there
// Ctrl+C and the context menu's "Copy" put the export picture on the clipboard as a lossless
// PNG, and dragging the picture out drops it as PNG data and as a temporary .png file.
#pragma once

#include <QPoint>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

class QMimeData;
class QScrollArea;

namespace quillion {

class FormCore;
class PictureBox;

class PictureArea : public QWidget {
    Q_OBJECT
public:
    // Where Picture1 stands in the area, and the room it has before it must scroll.
    static constexpr int kPictureLeft = 3, kPictureTop = 8, kRoomWidth = 515;

    PictureArea(FormCore& core, QWidget* parent);
    ~PictureArea() override;

    PictureBox* Picture1() const { return picture1_; }
    QScrollArea* Strip() const { return strip_; }
    // Takes Picture1's new size: the strip is as high as the picture, plus a scroll bar under
    // it when the picture is wider than the room.
    void Sync();

    // Something to copy: a generated export picture with more than one colour.
    bool CanCopy() const;
    // Puts the export picture on the clipboard; nothing when there is nothing to copy.
    void Copy();
    // What a copy or a drag hands out: PNG bytes and the image; with a file, also the URL of a
    // temporary .png file. Raises RuntimeError when the file cannot be written.
    std::unique_ptr<QMimeData> MakeMimeData(bool withFile);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void StartDrag();

    FormCore& core_;
    QScrollArea* strip_ = nullptr;
    PictureBox* picture1_ = nullptr;
    QPoint pressedAt_;
    bool pressedOnPicture_ = false;
    std::unique_ptr<QTemporaryDir> dragFolder_;
};

} // namespace quillion
