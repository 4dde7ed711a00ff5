#include "screen_checks.h"

#include "platform/profile_document.h"
#include "test_environment.h"

#include <QHash>

namespace {

// Exact: the console stretches without smoothing, so a picture shows pixel for pixel.
bool same(QRgb a, QRgb b)
{
    return (a & 0xffffff) == (b & 0xffffff);
}

} // namespace

double shareShowing(const QImage &screen, QPoint at, const QImage &picture)
{
    qint64 shown = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            shown += screen.rect().contains(p) && same(screen.pixel(p), picture.pixel(x, y));
        }
    }
    return picture.isNull() ? 0 : double(shown) / (double(picture.width()) * picture.height());
}

ShapeSeen shapeSeen(const QImage &screen, const QImage &before, QPoint at, const QImage &background,
                    QRgb mask)
{
    qint64 masked = 0, seeThrough = 0, solid = 0, drawn = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (!screen.rect().contains(p))
                continue;
            if (same(background.pixel(x, y), mask)) {
                ++masked;
                seeThrough += same(screen.pixel(p), before.pixel(p));
            } else {
                ++solid;
                drawn += same(screen.pixel(p), background.pixel(x, y));
            }
        }
    }
    return {masked ? double(seeThrough) / double(masked) : 0,
            solid ? double(drawn) / double(solid) : 0};
}

QList<int> textLineCentres(const QImage &screen, const QRect &at)
{
    QHash<QRgb, int> counts;
    for (int y = at.top(); y <= at.bottom(); ++y) {
        for (int x = at.left(); x <= at.right(); ++x)
            ++counts[screen.pixel(x, y) & 0xffffff];
    }
    QRgb background = 0; // the list's: a frame or a line of text is not its most common colour
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(background))
            background = it.key();
    }
    QList<int> centres;
    int bandStart = -1;
    for (int y = at.top(); y <= at.bottom() + 1; ++y) {
        bool ink = false;
        for (int x = at.left(); y <= at.bottom() && x <= at.right() && !ink; ++x)
            ink = !same(screen.pixel(x, y), background);
        if (ink && bandStart < 0)
            bandStart = y;
        if (!ink && bandStart >= 0) {
            centres.append((bandStart + y - 1) / 2);
            bandStart = -1;
        }
    }
    return centres;
}

QString skinValue(const QString &file, const QString &section, const QString &key)
{
    return platform::ProfileDocument(readBytes(file)).value(section, key).value_or(QString());
}

QRect layoutRect(const QString &skinFile, const QString &section, const QString &name,
                 const QSize &window)
{
    const platform::ProfileDocument skin(readBytes(skinFile));
    for (int n = 1; n < 100; ++n) {
        const QStringList fields = skin.value(section, QString::number(n).rightJustified(2, u'0'))
                                       .value_or(QString())
                                       .split(u',');
        if (fields.size() < 6)
            break;
        if (fields.at(0) != name)
            continue;
        const QRect r(fields.at(2).toInt(), fields.at(3).toInt(), fields.at(4).toInt(),
                      fields.at(5).toInt());
        const int left = r.x() < 0 ? window.width() + r.x() : r.x();
        const int top = r.y() < 0 ? window.height() + r.y() : r.y();
        return QRect(left, top, r.width() <= 0 ? window.width() + r.width() - left : r.width(),
                     r.height() <= 0 ? window.height() + r.height() - top : r.height());
    }
    return {};
}
