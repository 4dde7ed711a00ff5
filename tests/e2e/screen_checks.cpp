#include "screen_checks.h"

#include <QFile>
#include <QHash>

namespace {

bool differs(QRgb a, QRgb b)
{
    // Exact: the console stretches without smoothing, so a picture shows pixel for pixel.
    return (a & 0xffffff) != (b & 0xffffff);
}

bool onScreen(const QImage &screen, QPoint p)
{
    return screen.rect().contains(p);
}

} // namespace

double shareShowing(const QImage &screen, QPoint at, const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    qint64 same = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (onScreen(screen, p) && !differs(screen.pixel(p), rgb.pixel(x, y)))
                ++same;
        }
    }
    return rgb.isNull() ? 0 : double(same) / (double(rgb.width()) * rgb.height());
}

ShapeSeen shapeSeen(const QImage &screen, const QImage &before, QPoint at, const QImage &background,
                    QRgb mask)
{
    const QImage rgb = background.convertToFormat(QImage::Format_RGB32);
    qint64 masked = 0, seeThrough = 0, solid = 0, drawn = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (!onScreen(screen, p))
                continue;
            if (!differs(rgb.pixel(x, y), mask)) {
                ++masked;
                seeThrough += differs(screen.pixel(p), before.pixel(p)) ? 0 : 1;
            } else {
                ++solid;
                drawn += differs(screen.pixel(p), rgb.pixel(x, y)) ? 0 : 1;
            }
        }
    }
    return {masked ? double(seeThrough) / double(masked) : 0,
            solid ? double(drawn) / double(solid) : 0};
}

int differingColumnSpan(const QImage &a, const QImage &b, const QRect &at)
{
    int first = -1, last = -1;
    for (int x = at.left(); x <= at.right(); ++x) {
        for (int y = at.top(); y <= at.bottom(); ++y) {
            if (differs(a.pixel(x, y), b.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

QList<int> textLineCentres(const QImage &screen, const QRect &at)
{
    // The list's background is its most common colour; a frame or a line of text is not.
    QHash<QRgb, int> counts;
    for (int y = at.top(); y <= at.bottom(); ++y) {
        for (int x = at.left(); x <= at.right(); ++x)
            ++counts[screen.pixel(x, y) & 0xffffff];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    QList<int> centres;
    int bandStart = -1;
    for (int y = at.top(); y <= at.bottom() + 1; ++y) {
        bool ink = false;
        for (int x = at.left(); y <= at.bottom() && x <= at.right() && !ink; ++x)
            ink = differs(screen.pixel(x, y), background);
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
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return {};
    bool inSection = false;
    for (const QByteArray &raw : input.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(u'[' + section + u']', Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0 &&
            line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

QRect fieldsRect(const QString &value, int firstField)
{
    const QStringList fields = value.split(u',');
    if (fields.size() < firstField + 4)
        return {};
    return QRect(fields.at(firstField).toInt(), fields.at(firstField + 1).toInt(),
                 fields.at(firstField + 2).toInt(), fields.at(firstField + 3).toInt());
}

QRect layoutRect(const QString &skinFile, const QString &section, const QString &name,
                 const QSize &window)
{
    for (int n = 1; n < 100; ++n) {
        const QString line =
            skinValue(skinFile, section, QString::number(n).rightJustified(2, u'0'));
        if (line.isEmpty())
            break;
        if (line.section(u',', 0, 0) != name)
            continue;
        QRect r = fieldsRect(line, 2);
        int left = r.x() < 0 ? window.width() + r.x() : r.x();
        int top = r.y() < 0 ? window.height() + r.y() : r.y();
        int width = r.width() <= 0 ? window.width() + r.width() - left : r.width();
        int height = r.height() <= 0 ? window.height() + r.height() - top : r.height();
        return QRect(left, top, width, height);
    }
    return {};
}
