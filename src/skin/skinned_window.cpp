#include "skin/skinned_window.h"

#include "platform/pointer_source.h"
#include "skin/accessible_elements.h"
#include "skin/animations.h"
#include "skin/hover_tracking.h"
#include "skin/image_button.h"
#include "skin/stretched_picture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QListWidget>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <type_traits>

namespace {

void copyWidgetLook(const QWidget &from, QWidget &to)
{
    to.setPalette(from.palette());
    to.setFont(from.font());
    to.setAutoFillBackground(from.autoFillBackground());
    to.setFocusPolicy(from.focusPolicy());
    to.setAttribute(Qt::WA_TransparentForMouseEvents,
                    from.testAttribute(Qt::WA_TransparentForMouseEvents));
    if (from.testAttribute(Qt::WA_SetCursor))
        to.setCursor(from.cursor());
}

void copyLook(const QListWidget &from, QListWidget &to)
{
    copyWidgetLook(from, to);
    to.setFrameShape(from.frameShape());
    to.setSelectionMode(from.selectionMode());
    to.setHorizontalScrollBarPolicy(from.horizontalScrollBarPolicy());
    to.setVerticalScrollBarPolicy(from.verticalScrollBarPolicy());
    to.setUniformItemSizes(from.uniformItemSizes());
}

void copyLook(const QLabel &from, QLabel &to)
{
    copyWidgetLook(from, to);
    to.setAlignment(from.alignment());
    to.setWordWrap(from.wordWrap());
    to.setMargin(from.margin());
    to.setTextFormat(from.textFormat());
}

void copyLook(const StretchedPicture &from, StretchedPicture &to)
{
    copyWidgetLook(from, to);
}

void copyLook(const ImageButton &from, ImageButton &to)
{
    copyWidgetLook(from, to);
    to.setBackColor(from.backColor());
}

void copyLook(const QTimer &from, QTimer &to)
{
    to.setInterval(from.interval());
    to.setSingleShot(from.isSingleShot());
    to.setTimerType(from.timerType());
}

void hideIfWidget(QWidget *widget)
{
    widget->hide();
}

void hideIfWidget(QTimer *) {}

} // namespace

QColor colorFromValue(quint32 value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

SkinnedWindow::SkinnedWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowFlag(Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    skin::installAccessibleElements();

    // Below every design-time element of a derived window, as the shell's pictures lie below
    // its text boxes and lists. Mouse events that no element takes go on to the window.
    m_surface = new QWidget(this);
    m_surface->setGeometry(rect());

    auto *listTemplate = new QListWidget(m_surface);
    listTemplate->setFrameShape(QFrame::NoFrame);
    listTemplate->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab reaches a list, a click does not focus it: the mouse user sees no focus frame.
    listTemplate->setFocusPolicy(Qt::TabFocus);
    // Every line of a skin list has the list's one font; measuring each line to lay the list out
    // would cost more than the rest of the start-up together.
    listTemplate->setUniformItemSizes(true);
    addMember(lstBox, 0, listTemplate);

    auto *labelTemplate = new QLabel(m_surface);
    labelTemplate->setAutoFillBackground(true);
    labelTemplate->setWordWrap(true);
    labelTemplate->setTextFormat(Qt::PlainText);
    labelTemplate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    addMember(lblInfo, 0, labelTemplate);

    addMember(imgPic, 0, new StretchedPicture(m_surface));
    auto *buttonTemplate = new ImageButton(m_surface);
    buttonTemplate->setCursor(Qt::PointingHandCursor);
    addMember(imgBut, 0, buttonTemplate);
    addMember(imgGif, 0, new AnimatedPicture(m_surface));
    auto *timerTemplate = new QTimer(this);
    // A coarse timer may fire 5 % early or late: a frame of 100 ms would show for 95 to 105.
    timerTemplate->setTimerType(Qt::PreciseTimer);
    addMember(tmrAnim, 0, timerTemplate);

    connect(&platform::pointerEvents(), &platform::PointerEvents::pointerMoved, this,
            &SkinnedWindow::UpdateHover);
}

SkinnedWindow::~SkinnedWindow() = default;

template<typename Element>
Element *SkinnedWindow::addMember(IndexedSet<Element> &set, int index, Element *element)
{
    // A template only lends its look: nobody ever sees it.
    if (index == 0)
        skin::keepOffTheBus(*element);
    hideIfWidget(element);
    set.insert(index, element);
    addDesignElement(element);
    return element;
}

template<typename Element>
Element *SkinnedWindow::addFromTemplate(IndexedSet<Element> &set, int index)
{
    if (index < 1 || set.contains(index))
        return nullptr;
    Element *element = nullptr;
    if constexpr (std::is_base_of_v<QWidget, Element>)
        element = new Element(m_surface);
    else
        element = new Element(this);
    if (const auto *model = set(0))
        copyLook(*model, *element);
    return addMember(set, index, element);
}

QListWidget *SkinnedWindow::addListBox(int index)
{
    return addFromTemplate(lstBox, index);
}

QLabel *SkinnedWindow::addLabel(int index)
{
    return addFromTemplate(lblInfo, index);
}

StretchedPicture *SkinnedWindow::addPicture(int index)
{
    return addFromTemplate(imgPic, index);
}

ImageButton *SkinnedWindow::addImageButton(int index)
{
    ImageButton *button = addFromTemplate(imgBut, index);
    if (button)
        connect(button, &ImageButton::clicked, this, [this, index] { emit imgButClicked(index); });
    return button;
}

AnimatedPicture *SkinnedWindow::addAnimation(int index)
{
    return addFromTemplate(imgGif, index);
}

QTimer *SkinnedWindow::addAnimTimer(int index)
{
    QTimer *timer = addFromTemplate(tmrAnim, index);
    if (timer)
        connect(timer, &QTimer::timeout, this, [this, index] { tmrAnim_Timer(index); });
    return timer;
}

QObject *SkinnedWindow::control(int i) const
{
    if (i < 0 || i >= m_controls.size())
        return nullptr;
    return m_controls.at(i).data();
}

bool SkinnedWindow::removeControl(int i)
{
    if (i < 0 || i >= m_controls.size())
        return false;
    QPointer<QObject> element = m_controls.takeAt(i);
    if (element) {
        forget(element);
        delete element.data();
    }
    return true;
}

void SkinnedWindow::forget(QObject *element)
{
    lstBox.remove(element);
    lblInfo.remove(element);
    imgPic.remove(element);
    imgBut.remove(element);
    imgGif.remove(element);
    tmrAnim.remove(element);
}

void SkinnedWindow::buildPause(int milliseconds)
{
    // The theme's delay holds, however long, but is waited in short slices: between them
    // timers and repaints run, so that an exit request during a slow build is still answered.
    // A click waits for the next step, as the pause would hold it.
    constexpr qint64 sliceMs = 10;
    const bool quittingBefore = isQuitting();
    const QDeadlineTimer deadline(std::max(milliseconds, 0), Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        QThread::msleep(static_cast<unsigned long>(std::min(sliceMs, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (isQuitting() && !quittingBefore)
            return;
    }
}

void SkinnedWindow::playSound(const QString &name) const
{
    if (m_soundPlayer)
        m_soundPlayer(name);
}

QString SkinnedWindow::commandName(const QString &command) const
{
    QString path = command.trimmed();
    if (path.startsWith(u'"'))
        path = path.mid(1).section(u'"', 0, 0);
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(slash + 1);
}

void SkinnedWindow::setBackColor(const QColor &color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
}

void SkinnedWindow::resizeEvent(QResizeEvent *event)
{
    m_surface->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void SkinnedWindow::UpdateHover()
{
    skin::hoverPass(*this);
}

void SkinnedWindow::tmrAnim_Timer(int index)
{
    skin::tickAnimation(*this, index);
}

void SkinnedWindow::addDesignElement(QObject *element)
{
    m_controls.append(element);
}
