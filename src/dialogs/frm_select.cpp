#include "dialogs/frm_select.h"

#include "core/program_state.h"
#include "dialogs/command_line.h"
#include "dialogs/dialog_skin.h"
#include "dialogs/dialogs_log.h"
#include "platform/modal_show.h"
#include "platform/native_path.h"
#include "platform/program_start.h"
#include "skin/box_description.h"
#include "skin/layout_window.h"
#include "skin/shape_window.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"

#include <QCloseEvent>
#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

const QString &selectSection()
{
    static const QString section = QStringLiteral("SELECT");
    return section;
}

} // namespace

frmSelect::frmSelect(const skin::Theme &theme, QWidget *parent)
    : SkinnedWindow(parent)
    , m_theme(theme)
{
    setWindowFlag(Qt::Dialog);
    setWindowTitle(QStringLiteral("KESTA Terminal - Select"));
    resize(640, 480);

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
    trackMouseOn(Dir1);
    trackMouseOn(File1);

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
    setSoundPlayer([this](const QString &name) { ThemeSound(m_theme, name, false); });
    connect(this, &SkinnedWindow::imgButClicked, this, &frmSelect::imgBut_Click);
}

void frmSelect::Form_Load()
{
    const skin::ThemeFile skinFile = m_theme.selectSkin();
    const dialogs::DialogShape shape = dialogs::readDialogShape(m_theme, selectSection(), skinFile);
    const std::pair<QWidget *, QString> boxes[] = {
        {Dir1, QStringLiteral("Dirlist")},     {File1, QStringLiteral("Filelist")},
        {Drive1, QStringLiteral("Drivelist")}, {txtSel, QStringLiteral("InputBox")},
        {txtSel2, QStringLiteral("ArgBox")},
    };
    for (const auto &[box, key] : boxes)
        skin::applyBoxDescription(*box, skinFile.box(selectSection(), key));

    const dialogs::CommandLine line = dialogs::splitCommandLine(programState().DialogText);
    txtSel->setText(line.program);
    txtSel2->setText(line.arguments);
    pointListsAt(line.program);

    const skin::ProgressiveBuild progressive =
        m_theme.progressiveBuild(QStringLiteral("STARTUP"), {});
    LayoutWindow(*this, m_theme, selectSection(), buttonTable(), animationTable(),
                 progressive.animated, progressive.delay, skinFile);
    ShapeWindow(*this, shape.maskColour, shape.background);
    dialogs::centreOnScreen(*this);
}

void frmSelect::AcceptSelection()
{
    programState().DialogText = dialogs::joinCommandLine(txtSel->text(), txtSel2->text());
    m_accepted = true;
    close();
}

void frmSelect::closeEvent(QCloseEvent *event)
{
    // Without a title bar the dialog is closed by its own buttons; a close from anywhere else
    // (the window manager) must not hand the caller a command line the user did not accept.
    if (!m_accepted)
        programState().DialogText.clear();
    event->accept();
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

void frmSelect::imgBut_Click(int index)
{
    const ButtonTable &table = buttonTable();
    if (index < 1 || index > table.count)
        return;
    const ButtonEntry button = table.at(index);
    playSound(button.clickSound);
    const QString keyword = button.command.toUpper();
    if (keyword == u"OK") {
        AcceptSelection();
    } else if (keyword == u"QUIT") {
        programState().DialogText.clear();
        close();
    } else if (!platform::startProgram(button.command)) {
        qCWarning(lcDialogs).noquote()
            << QStringLiteral("button %1: \"%2\" did not start").arg(index).arg(button.command);
    }
}

void showSelectDialog(const skin::Theme &theme)
{
    frmSelect dialog(theme);
    dialog.Form_Load();
    platform::showModal(dialog);
}

QString frmSelect::commandName(const QString &command) const
{
    const QString words = dialogs::dialogCommandWords(command);
    return words.isEmpty() ? SkinnedWindow::commandName(command) : words;
}
