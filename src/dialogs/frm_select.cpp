#include "dialogs/frm_select.h"

#include "core/program_state.h"
#include "dialogs/command_line.h"
#include "dialogs/dialog_skin.h"
#include "dialogs/dialogs_log.h"
#include "platform/native_path.h"
#include "skin/box_description.h"
#include "skin/theme.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

frmSelect::frmSelect(const skin::Theme &theme, QWidget *parent)
    : SkinnedDialog(theme, QStringLiteral("KESTA Terminal - Select"), {640, 480},
                    QStringLiteral("SELECT"), parent)
{
    Drive1 = new QComboBox(this);
    Drive1->setGeometry(16, 16, 290, 26);
    Dir1 = new FolderListBox(this);
    Dir1->setGeometry(16, 52, 290, 300);
    File1 = new FileListBox(this);
    File1->setGeometry(322, 16, 302, 336);
    txtSel = new QLineEdit(this);
    txtSel->setGeometry(16, 368, 608, 26);
    txtSel2 = new QLineEdit(this);
    txtSel2->setGeometry(16, 410, 608, 26);
    for (QWidget *element : std::initializer_list<QWidget *>{Drive1, Dir1, File1, txtSel, txtSel2})
        addDesignElement(element);

    // The lists start where the console runs, as a fresh drive, folder and file list would.
    fillDrives();
    Dir1->setPath(QDir::currentPath());
    showDriveOf(Dir1->path());
    File1->setPath(Dir1->path());

    connect(Drive1, &QComboBox::currentIndexChanged, this, &frmSelect::Drive1_Change);
    connect(Dir1, &FolderListBox::pathChanged, this, &frmSelect::Dir1_Change);
    // A file chosen with the keyboard is chosen as with a click; a click on the file already
    // chosen takes it again, over what was typed since.
    connect(File1, &QListWidget::itemSelectionChanged, this, &frmSelect::File1_Click);
    connect(File1, &QListWidget::itemClicked, this, &frmSelect::File1_Click);
}

skin::ThemeFile frmSelect::skinFile() const
{
    return theme().selectSkin();
}

void frmSelect::loadElements(const skin::ThemeFile &skinFile)
{
    struct Box
    {
        QWidget *box;
        QString key;
        QString name; // for a screen reader, unless the theme names it
    };
    const Box boxes[] = {
        {Dir1, QStringLiteral("Dirlist"), QStringLiteral("Folders")},
        {File1, QStringLiteral("Filelist"), QStringLiteral("Files")},
        {Drive1, QStringLiteral("Drivelist"), QStringLiteral("Drives")},
        {txtSel, QStringLiteral("InputBox"), QStringLiteral("Program")},
        {txtSel2, QStringLiteral("ArgBox"), QStringLiteral("Arguments")},
    };
    for (const Box &box : boxes) {
        skin::applyBoxDescription(*box.box, skinFile.box(section(), box.key));
        dialogs::nameBox(*box.box, skinFile.elementName(section(), box.key), box.name,
                         windowTitle());
    }

    const dialogs::CommandLine line = dialogs::splitCommandLine(programState().DialogText);
    txtSel->setText(line.program);
    txtSel2->setText(line.arguments);
    pointListsAt(line.program);
}

QString frmSelect::acceptedText() const
{
    return dialogs::joinCommandLine(txtSel->text(), txtSel2->text());
}

void frmSelect::fillDrives()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    roots.sort();
    const QSignalBlocker blocker(Drive1);
    Drive1->clear();
    Drive1->addItems(roots);
}

QStringList frmSelect::driveRoots() const
{
    QStringList roots;
    for (int i = 0; i < Drive1->count(); ++i)
        roots.append(Drive1->itemText(i));
    return roots;
}

void frmSelect::showDriveOf(const QString &folder)
{
    const QSignalBlocker blocker(Drive1);
    Drive1->setCurrentIndex(dialogs::rootHolding(driveRoots(), folder));
}

void frmSelect::pointListsAt(const QString &program)
{
    const std::optional<dialogs::ProgramLocation> location = dialogs::programLocation(program);
    if (!location)
        return;
    const int drive = dialogs::rootHolding(driveRoots(), platform::nativePath(location->folder));
    if (drive >= 0)
        Drive1->setCurrentIndex(drive);

    // The file is looked for only in the program's own folder: were the folder missing, a file
    // of the same name in the folder still shown would be taken for the program.
    if (!Dir1->setPath(location->folder))
        return;
    for (int row = 0; row < File1->count(); ++row) {
        if (File1->item(row)->text() == location->fileName)
            File1->setCurrentRow(row);
    }
}

void frmSelect::Drive1_Change()
{
    // A drive whose root cannot be listed leaves every list as it was, the drive list included.
    if (!Dir1->setPath(Drive1->currentText())) {
        qCWarning(lcDialogs).noquote()
            << QStringLiteral("the folder %1 cannot be listed").arg(Drive1->currentText());
        showDriveOf(Dir1->path());
    }
}

void frmSelect::Dir1_Change()
{
    File1->setPath(Dir1->path());
}

void frmSelect::File1_Click()
{
    const QListWidgetItem *file = File1->currentItem();
    // Emptying the list for another folder unselects without choosing anything.
    if (!file || !file->isSelected())
        return;
    QString path = File1->path();
    if (!path.endsWith(u'/') && !path.endsWith(u'\\'))
        path += u'/';
    txtSel->setText(path + file->text());
}

QString frmSelect::refusedWords() const
{
    return refusal ? refusal(txtSel->text()) : QString();
}

QString showSelectDialog(const skin::Theme &theme, ProgramRefusal refusal)
{
    frmSelect dialog(theme);
    dialog.refusal = std::move(refusal);
    return dialog.exec();
}
