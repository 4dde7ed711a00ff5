#include "hostile_theme.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStringList>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void writeLines(const QString &path, const QStringList &lines)
{
    write(path, lines.join(u"\r\n"_s).toUtf8() + "\r\n");
}

void writeSolid(const QString &path, const QColor &colour)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "BMP");
}

QByteArray noise(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

// The third-party pictures a decoder may refuse or disagree on, as paths from the theme folder.
QStringList doubtfulPictures(const QString &corpusImages, const QDir &theme)
{
    QFile manifest(corpusImages + u"/manifest.json"_s);
    if (!manifest.open(QIODevice::ReadOnly))
        return {};
    QStringList paths;
    const QJsonArray files = QJsonDocument::fromJson(manifest.readAll())[u"files"_s].toArray();
    for (const QJsonValue &file : files) {
        if (file[u"validity"_s].toString() != u"valid"_s)
            paths.append(theme.relativeFilePath(corpusImages + u'/' + file[u"path"_s].toString()));
    }
    return paths;
}

QStringList consoleLayout(const QStringList &doubtful)
{
    const QString longText(40000, u'x');
    QStringList lines{
        // Every number the layout reads, negative, huge, not a number at all.
        u"zero.bmp,P,0,0,100%,100%"_s,
        u"missing.bmp,B,1,1,1,1,missing.wav,zero.wav,False,NOTHING"_s,
        u"good.bmp,P,-99999999999,1e400,abc,-0"_s,
        u"good.bmp,P,99999999999999999999,-99999999999999999999,100000000%,-1e9%"_s,
        u"good.bmp,B,2147483647,2147483647,2147483647,2147483647,,,False,X"_s,
        u"good.bmp,B,-2147483648,-2147483648,-2147483648,-2147483648,,,False,X"_s,
        u"good.gif,A,nan,inf,-inf,0x10"_s,
        u"secinfo,L,0,0,-99999,-99999,-5,999999,abc,-1,-1,-1,"_s + longText + u",1e308"_s,
        u"seclb,T,1,1,10,10,0,0,0,255,255,255,Sans,99999999999999999999999"_s,
        u"secso,T,1,1,10,10,0,0,0,255,255,255,,-12"_s,
        u"secturn,L,x"_s,
        longText,
        u"binary.bmp,P,0,0,100%,100%"_s,
        u"binary.gif,A,0,0,50,50"_s,
        u"zero.gif,A,0,0,50,50"_s,
        u"missing.gif,A,0,0,50,50"_s,
        u"folder.bmp,P,0,0,10,10"_s,
        u"folder.gif,A,0,0,10,10"_s,
        u"pipe.bmp,P,0,0,10,10"_s,
        u"pipe.bmp,B,0,0,10,10,pipe.wav,pipe.wav,False,NOTHING"_s,
        u"pipe.gif,A,0,0,10,10"_s,
        u"locked.bmp,B,0,0,10,10,locked.wav,locked.wav,True,NOTHING"_s,
        u"dangling.bmp,P,0,0,10,10"_s,
        u"loop\\loop\\loop\\good.bmp,P,0,0,10,10"_s,
        u"themepic,P,0,0,10,10"_s,
        u"good.bmp,Q,0,0,10,10"_s,
        u"good.bmp,b,0,0,10,10,,,False,X"_s,
        u",,,,,,,,,,,,,,,,,,,"_s,
        QString(),
        u"good.bmp,P,0,0,10,10%"_s + longText,
    };
    for (const QString &picture : doubtful) {
        lines << picture + u",P,0,0,100%,100%"_s
              << picture + u",B,0,0,-1,-1,zero.wav,missing.wav,False,NOTHING"_s
              << picture + u",A,0,0,100%,100%"_s;
    }
    // The probes come last, on top of everything, at keys beyond "99" whatever came before.
    while (lines.size() < 100)
        lines << u"good.bmp,P,0,0,1,1"_s;
    lines << u"green.bmp,P,0,0,40,40"_s
          << u"blue.bmp,B,-40,-40,-1,-1,missing.wav,zero.wav,False,"_s + longText;
    QStringList keyed;
    for (int i = 0; i < lines.size(); ++i)
        keyed << QStringLiteral("%1=%2").arg(i + 1, 2, 10, QLatin1Char('0')).arg(lines.at(i));
    return keyed;
}

// 10,000 lines of everything a section may hold that is no layout line, including a second
// copy of the section and keys that repeat earlier ones (the first copy wins).
QStringList filler(const QString &section)
{
    QStringList lines;
    for (int i = 0; i < 10000; ++i) {
        switch (i % 5) {
        case 0:
            lines << u"; comment %1"_s.arg(i);
            break;
        case 1:
            lines << u"text without equals %1"_s.arg(i);
            break;
        case 2:
            lines << u"01=good.bmp,P,0,0,400,300"_s;
            break;
        case 3:
            lines << u"Filler%1=%2"_s.arg(i).arg(QString(i % 997, u'y'));
            break;
        default:
            lines << u"[%1"_s.arg(section);
        }
    }
    return lines;
}

void writeShellSkins(const QString &folder)
{
    // A shell skin whose protection section runs to 10,000 entries.
    QStringList shell{u"[SECURITY]"_s};
    for (int i = 1; i <= 10000; ++i)
        shell << u"%1=%2 DEFAULT Button %1"_s.arg(i, 2, 10, QLatin1Char('0')).arg(i % 150 + 1);
    shell << u"[DEFAULT]"_s;
    for (int i = 1; i <= 150; i += 2)
        shell << u"%1=good.bmp,B,0,0,1,1,o.wav,c.wav,%2,CMD %1"_s.arg(i, 2, 10, QLatin1Char('0'))
                     .arg(i % 3 ? u"True"_s : u"-99999999999"_s);
    writeLines(folder + u"/Shell.skn"_s, shell);
    write(folder + u"/Shell.ini"_s, noise(3000, 7));

    QStringList terminal{u"[DEFAULT]"_s, u"Animated=maybe"_s, u"AnimDelay=-99999999999999999999"_s,
                         u"Sound="_s + QString(40000, u'1'), u"[GLOBAL]"_s};
    for (int i = 1; i <= 150; ++i)
        terminal << u"%1=Switch%1: %2"_s.arg(i, 2, 10, QLatin1Char('0')).arg(QString(i * 7, u's'));
    terminal << filler(u"GLOBAL"_s);
    writeLines(folder + u"/terminal.skn"_s, terminal);

    write(folder + u"/Empty.skn"_s, {});
    write(folder + u"/Binary.skn"_s, noise(64 * 1024, 1));
    static const char nul[] = "[SECURITY]\r\n01=\0\0\0 DEFAULT \0\r\n[DEFAULT]\r\n"
                              "01=\0good.bmp,B\0,0,0\r\n";
    write(folder + u"/Nul.skn"_s, QByteArray(nul, sizeof nul - 1));
    write(folder + u"/Wide.skn"_s,
          "\xFF\xFE[\0S\0E\0C\0U\0R\0I\0T\0Y\0]\0\r\0\n\0" + noise(501, 3));
    write(folder + u"/voicecontrol.ini"_s, noise(2048, 4));
    write(folder + u"/voicecontrol.master"_s, {});
}

} // namespace

GeneratedTheme writeHostileTheme(const QString &programDir, const QString &corpusImages)
{
    const QString folder = programDir + u"/Themes/Hostile"_s;
    QDir().mkpath(folder);
    writeSolid(folder + u"/good.bmp"_s, Qt::gray);
    writeSolid(folder + u"/green.bmp"_s, QColor(0, 255, 0));
    writeSolid(folder + u"/blue.bmp"_s, QColor(0, 0, 255));
    // Qt writes no GIF: a one-pixel image with a control extension, byte for byte.
    static const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                              "!\xf9\x04\x01\x0a\x00\x00\x00"
                              ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                              "D\x01\x00;";
    write(folder + u"/good.gif"_s, QByteArray(gif, sizeof gif - 1));
    for (const QString &empty : {u"zero.bmp"_s, u"zero.gif"_s, u"zero.wav"_s})
        write(folder + u'/' + empty, {});
    write(folder + u"/binary.bmp"_s, "BM" + noise(5000, 5));
    write(folder + u"/binary.gif"_s, "GIF89a" + noise(5000, 6));
    QDir(folder).mkdir(u"folder.bmp"_s);
    QDir(folder).mkdir(u"folder.gif"_s);
    QFile::copy(folder + u"/good.bmp"_s, folder + u"/locked.bmp"_s);
    write(folder + u"/locked.wav"_s, "RIFF");
    for (const QString &locked : {u"locked.bmp"_s, u"locked.wav"_s})
        QFile::setPermissions(folder + u'/' + locked, {});
    // Pipes: opening one to read waits for a writer that never comes.
    for (const QString &pipe : {u"pipe.bmp"_s, u"pipe.gif"_s, u"pipe.wav"_s})
        ::mkfifo(QFile::encodeName(folder + u'/' + pipe).constData(), 0644);
    QFile::link(u"nowhere.bmp"_s, folder + u"/dangling.bmp"_s);
    QFile::link(u"loop"_s, folder + u"/loop"_s);

    QStringList console{u"[DEFAULT]"_s, u"BackGround=-1,99999999999999999999,abc"_s,
                        u"StartupSound=zero"_s, u"changepassword="_s + QString(40000, u'p')};
    console << consoleLayout(doubtfulPictures(corpusImages, QDir(folder)));
    console << filler(u"DEFAULT"_s);
    writeLines(folder + u"/Security.skn"_s, console);
    write(folder + u"/Security.ini"_s,
          "[DEFAULT]\r\n02=" + noise(200, 8).replace('\n', ' ') + "\r\n");
    writeShellSkins(folder);

    const QPoint farCorner(consoleWidth - 20, consoleHeight - 20);
    return {u"\\Themes\\Hostile\\"_s,
            {{QPoint(20, 20), QColor(0, 255, 0)}, {farCorner, QColor(0, 0, 255)}}};
}

GeneratedTheme writeBinaryTheme(const QString &programDir)
{
    const QString folder = programDir + u"/Themes/Binary"_s;
    QDir().mkpath(folder);
    write(folder + u"/Security.skn"_s, noise(256 * 1024, 9));
    write(folder + u"/Security.ini"_s, noise(1024, 10));
    write(folder + u"/terminal.skn"_s, noise(4096, 11));
    return {u"\\Themes\\Binary\\"_s, {}};
}

GeneratedTheme writeLoopTheme(const QString &programDir)
{
    QDir().mkpath(programDir + u"/Themes"_s);
    QFile::link(u"Loop"_s, programDir + u"/Themes/Loop"_s);
    QFile::link(u"Loop.bmp"_s, programDir + u"/Themes/Loop.bmp"_s);
    return {u"\\Themes\\Loop\\"_s, {}};
}

QHash<QString, QString> folderRecord(const QString &folder)
{
    QHash<QString, QString> record;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        QString identity;
        if (info.isSymLink()) {
            identity = u"link to "_s + info.symLinkTarget();
        } else if (info.isDir()) {
            identity = u"folder"_s;
        } else if (!info.isFile()) {
            identity = u"special"_s; // never opened: a pipe would block
        } else {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
                identity = QString::fromLatin1(hash.result().toHex());
            else
                identity = u"unreadable, %1 bytes, changed %2"_s.arg(info.size())
                               .arg(info.lastModified().toMSecsSinceEpoch());
        }
        record.insert(QDir(folder).relativeFilePath(path), identity);
    }
    return record;
}
