#include "picture_area.h"

#include "file_errors.h"
#include "form_core.h"
#include "picture_box.h"
#include "picture_export.h"
#include "step_runner.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

namespace quillion {

namespace {
constexpr char kDragFileName[] = "barcode.png";
constexpr int kFocusLineWidth = 2;
} // namespace

PictureArea::PictureArea(FormCore& core, QWidget* parent) : QWidget(parent), core_(core) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground); // the white backing shows through

    strip_ = new QScrollArea(this);
    strip_->setObjectName(QStringLiteral("PictureStrip"));
    strip_->setFrameShape(QFrame::NoFrame);
    strip_->setFocusPolicy(Qt::NoFocus);
    strip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setWidgetResizable(false);
    // The strip and its viewport both white: under a skin's style sheet the style paints the
    // scroll area's own background, in its palette, where the viewport's no longer shows.
    QPalette white = strip_->palette();
    white.setColor(QPalette::Window, Qt::white);
    strip_->setPalette(white);
    strip_->viewport()->setPalette(white);
    strip_->viewport()->setBackgroundRole(QPalette::Window);
    strip_->move(kPictureLeft, kPictureTop);

    picture1_ = new PictureBox(core_.Picture1(), nullptr);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    strip_->setWidget(picture1_);
    Sync();
}

PictureArea::~PictureArea() = default;

void PictureArea::Sync() {
    picture1_->Sync();
    const QSize shown = picture1_->size();
    const bool scrolls = shown.width() > kRoomWidth;
    strip_->setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int bar = scrolls ? strip_->horizontalScrollBar()->sizeHint().height() : 0;
    strip_->resize(kRoomWidth, shown.height() + bar);
    if (!scrolls)
        strip_->horizontalScrollBar()->setValue(0);
}

bool PictureArea::CanCopy() const {
    return HasPictureToCopy(core_.ExportPicture());
}

std::unique_ptr<QMimeData> PictureArea::MakeMimeData(bool withFile) {
    const Image& picture = core_.ExportPicture();
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(kPngMimeType), EncodePng(picture));
    data->setImageData(ToQImage(picture));
    if (withFile) {
        if (!dragFolder_ || !dragFolder_->isValid())
            dragFolder_ = std::make_unique<QTemporaryDir>();
        if (!dragFolder_->isValid())
            RaisePathFileAccessError();
        const QString path =
            WritePngFile(picture, dragFolder_->path(), QString::fromLatin1(kDragFileName));
        data->setUrls({QUrl::fromLocalFile(path)});
    }
    return data;
}

void PictureArea::Copy() {
    if (!CanCopy())
        return;
    try {
        QGuiApplication::clipboard()->setMimeData(MakeMimeData(false).release());
    } catch (...) {
        core_.MsgBox(CurrentErrorDescription(), MsgBoxButtons::OkOnly, MsgBoxIcon::Exclamation);
    }
}

void PictureArea::StartDrag() {
    std::unique_ptr<QMimeData> data;
    try {
        data = MakeMimeData(true);
    } catch (...) {
        core_.MsgBox(CurrentErrorDescription(), MsgBoxButtons::OkOnly, MsgBoxIcon::Exclamation);
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data.release());
    const QImage image = ToQImage(core_.ExportPicture());
    drag->setPixmap(QPixmap::fromImage(
        image.scaled(image.size().boundedTo(QSize(200, 60)), Qt::KeepAspectRatio)));
    drag->exec(Qt::CopyAction);
}

void PictureArea::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kFocusLineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void PictureArea::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (strip_->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn) {
            QCoreApplication::sendEvent(strip_->horizontalScrollBar(), event);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void PictureArea::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PictureMenu"));
    QAction* copy = menu.addAction(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("CopyAction"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutVisibleInContextMenu(true);
    copy->setEnabled(CanCopy());
    connect(copy, &QAction::triggered, this, &PictureArea::Copy);
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : mapToGlobal(strip_->geometry().topLeft());
    menu.exec(at);
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
    const QPoint inPicture = picture1_->mapFrom(this, event->position().toPoint());
    pressedOnPicture_ = event->button() == Qt::LeftButton &&
                        picture1_->rect().contains(inPicture) &&
                        strip_->viewport()->rect().contains(
                            strip_->viewport()->mapFrom(this, event->position().toPoint()));
    pressedAt_ = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
    if (pressedOnPicture_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressedAt_).manhattanLength() >=
            QApplication::startDragDistance()) {
        pressedOnPicture_ = false;
        if (CanCopy())
            StartDrag();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void PictureArea::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void PictureArea::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

} // namespace quillion
