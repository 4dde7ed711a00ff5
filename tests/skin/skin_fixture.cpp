#include "skin_fixture.h"

#include "core/program_state.h"
#include "skin/image_button.h"
#include "skin/stretched_picture.h"
#include "test_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

using namespace Qt::StringLiterals;

RecordingWindow::RecordingWindow()
{
    // Elements paint themselves; the window's own paint event does not see them.
    QCoreApplication::instance()->installEventFilter(this);
}

bool RecordingWindow::eventFilter(QObject *watched, QEvent *event)
{
    const auto *widget = qobject_cast<const QWidget *>(watched);
    if (event->type() == QEvent::Paint && widget && isAncestorOf(widget))
        paints.append({controlCount(), watched});
    return SkinnedWindow::eventFilter(watched, event);
}

ThemeFixture::ThemeFixture(const QString &root, const QString &theme)
    : m_folder(root + u"/Themes/"_s + theme)
    , m_theme(root, u"\\Themes\\"_s + theme + u"\\"_s, u"Security"_s)
{
    QDir().mkpath(m_folder);
    programState().ProgramDir = m_theme.programDir();
    programState().ThemeDir = m_theme.themeDir();
}

void ThemeFixture::copyCheckedIn() const
{
    const QDir checkedIn(testData(u"skin/Themes/Test"_s));
    for (const QString &name : checkedIn.entryList(QDir::Files))
        QFile::copy(checkedIn.filePath(name), m_folder + u'/' + name);
}

namespace {

QString textLook(const QWidget &widget, QPalette::ColorRole back, QPalette::ColorRole text)
{
    return u" back=%1 text=%2 font=%3 %4"_s
        .arg(widget.palette().color(back).name(), widget.palette().color(text).name(),
             widget.font().family())
        .arg(widget.font().pointSizeF());
}

} // namespace

QString geometryOf(const QWidget &widget)
{
    const QRect r = widget.geometry();
    return u"%1,%2 %3x%4%5"_s.arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(widget.isHidden() ? u" hidden"_s : QString());
}

namespace {

// The colour of a list's scroll bar groove once the list holds more lines than it shows.
QString scrollBarLook(QListWidget &list)
{
    while (list.count() < 60)
        list.addItem(u"line"_s);
    const QImage bar = list.verticalScrollBar()->grab().toImage();
    return u" scroll bar "_s + bar.pixelColor(bar.width() / 2, bar.height() - 2).name();
}

} // namespace

QStringList describeLayout(const SkinnedWindow &window)
{
    QStringList lines;
    // Member 0 of each set is the template the layout copies.
    const auto each = [&](const char *set, const auto &elements, const auto &look) {
        for (int i : elements.indexes()) {
            if (i > 0)
                lines << u"%1(%2) "_s.arg(QLatin1StringView(set)).arg(i) +
                             geometryOf(*elements(i)) + look(*elements(i));
        }
    };
    each("lstBox", window.lstBox, [](QListWidget &list) {
        return textLook(list, QPalette::Base, QPalette::Text) + scrollBarLook(list);
    });
    each("lblInfo", window.lblInfo, [](const QLabel &label) {
        return textLook(label, QPalette::Window, QPalette::WindowText);
    });
    const auto pictured = [](const auto &element) {
        return (element.picture().isNull() ? u" no picture"_s : QString()) +
               u" named \"%1\""_s.arg(element.accessibleName());
    };
    each("imgPic", window.imgPic, pictured);
    each("imgBut", window.imgBut, pictured);
    return lines;
}
