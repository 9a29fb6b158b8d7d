// The real save dialog, driven while it is open: what it shows, the name it
// confirms, what it remembers, and that it leaves no settings behind.
#include "platform/qt/QtSaveDialog.h"
#include "QtPrinters.h"
#include "ScratchFolder.h"
#include "platform/qt/NoSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A home of its own for the whole run, so that anything the toolkit writes
// for the user can be found, and the program's start-up measure against it.
class FreshHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        home = std::make_unique<ScratchFolder>();
        const QByteArray root = QByteArray::fromStdString(home->root().string());
        qputenv("HOME", root);
        qputenv("XDG_CONFIG_HOME", root + "/.config");
        qputenv("XDG_CACHE_HOME", root + "/.cache");
        qputenv("XDG_DATA_HOME", root + "/.local/share");
        qputenv("XDG_STATE_HOME", root + "/.local/state");
        KeepNoSettings();
    }
    void TearDown() override { home.reset(); }

    static inline std::unique_ptr<ScratchFolder> home;
};

const auto* const Home = ::testing::AddGlobalTestEnvironment(new FreshHome);

// The files below a folder, as paths relative to it.
QStringList FilesBelow(const std::filesystem::path& folder)
{
    QStringList files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (!entry.is_directory())
            files << QString::fromStdString(entry.path().lexically_relative(folder).string());
    return files;
}

// The current folder, where a bare name opens, for as long as one lives.
class InFolder {
public:
    explicit InFolder(const ScratchFolder& folder)
    {
        QDir::setCurrent(QString::fromStdString(folder.root().string()));
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
    ~InFolder() { QDir::setCurrent(FSaved); }

private:
    QString FSaved = QDir::currentPath();
};

struct Seen {
    QString title;
    QStringList filters;
    QString defaultSuffix;
    bool saving = false;
    bool asksBeforeReplacing = true;
    QString folder;
    QFileDialog::ViewMode view = QFileDialog::List;
    QStringList history;
    QString name;
    int nameMaxLength = 0;
    QString encodingLabel;
    QStringList encodings;
    int encoding = -1;
};

// What the user does with the open dialog.
using Act = std::function<void(QFileDialog&, QLineEdit& name, QComboBox& encodings)>;

// Runs the dialog; while it is open, records what it shows and acts.
bool RunDialog(TSaveTextFileDialog& dlg, const Act& act, Seen* seen = nullptr)
{
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !QTest::qWaitForWindowExposed(dialog))
            return;
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        // The added list: the one combo box that is not the dialog's own.
        QComboBox* encodings = nullptr;
        for (auto* combo : dialog->findChildren<QComboBox*>())
            if (combo->objectName() != "fileTypeCombo" && combo->objectName() != "lookInCombo")
                encodings = combo;
        QLabel* label = nullptr;
        for (auto* candidate : dialog->findChildren<QLabel*>())
            if (encodings != nullptr && candidate->buddy() == encodings)
                label = candidate;
        if (name == nullptr || label == nullptr) {
            dialog->reject();
            return;
        }
        if (seen) {
            seen->title = dialog->windowTitle();
            seen->filters = dialog->nameFilters();
            seen->defaultSuffix = dialog->defaultSuffix();
            seen->saving = dialog->acceptMode() == QFileDialog::AcceptSave;
            seen->asksBeforeReplacing = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            seen->folder = dialog->directory().absolutePath();
            seen->view = dialog->viewMode();
            seen->history = dialog->history();
            seen->name = name->text();
            seen->nameMaxLength = name->maxLength();
            seen->encodingLabel = label->text();
            for (int i = 0; i < encodings->count(); ++i)
                seen->encodings << encodings->itemText(i);
            seen->encoding = encodings->currentIndex();
        }
        acted = true;
        act(*dialog, *name, *encodings);
    });
    QtSaveDialog dialog;
    const bool confirmed = dialog.Execute(dlg);
    EXPECT_TRUE(acted) << "the dialog did not open";
    return confirmed;
}

// Types a name in place of the one shown and presses Enter.
Act TypeAndConfirm(const QString& typed)
{
    return [typed](QFileDialog&, QLineEdit& name, QComboBox&) {
        name.setFocus();
        name.selectAll();
        QTest::keyClick(&name, Qt::Key_Delete);
        QTest::keyClicks(&name, typed);
        QTest::keyClick(&name, Qt::Key_Return);
    };
}

} // namespace

TEST(QtSaveDialog, ShowsItsSettingsAndOpensOnColorTxt)
{
    ScratchFolder scratch;
    ScratchFolder elsewhere;
    const QString folder = QString::fromStdString(scratch.root().string());
    const InFolder current(scratch);
    // The toolkit's own memory of another folder, as an earlier run of some Qt
    // program may have left it: the program does not read it.
    const std::filesystem::path config = FreshHome::home->root() / ".config";
    std::filesystem::create_directories(config);
    ScratchFolder::write((config / "QtProject.conf").string(),
                         "[FileDialog]\nviewMode=List\nhistory=file://" +
                             QByteArray::fromStdString(elsewhere.root().string()) + "\n");
    TSaveTextFileDialog dlg{.FileName = "Color.txt", .EncodingIndex = 4};
    Seen seen;
    const bool confirmed = RunDialog(
        dlg, [](QFileDialog& dialog, QLineEdit&, QComboBox&) { dialog.reject(); }, &seen);
    std::filesystem::remove_all(config);

    EXPECT_FALSE(confirmed);
    EXPECT_EQ(seen.title, "Save color parameters");
    EXPECT_EQ(seen.filters, QStringList{"Text files (*.txt)"});
    EXPECT_EQ(seen.defaultSuffix, "txt");
    EXPECT_TRUE(seen.saving);
    EXPECT_FALSE(seen.asksBeforeReplacing);
    EXPECT_EQ(seen.name, "Color.txt");
    EXPECT_EQ(seen.folder, folder);
    EXPECT_EQ(seen.view, QFileDialog::Detail); // the toolkit's default
    EXPECT_FALSE(seen.history.contains(QString::fromStdString(elsewhere.root().string())));
    EXPECT_EQ(seen.nameMaxLength, 259);
    EXPECT_EQ(seen.encodingLabel, "Encoding:");
    EXPECT_EQ(seen.encodings,
              (QStringList{"ANSI", "ASCII", "Unicode", "Big Endian Unicode", "UTF-8", "UTF-7"}));
    EXPECT_EQ(seen.encoding, 4);
}

TEST(QtSaveDialog, ConfirmsTheFullPathWithTheDefaultExtension)
{
    ScratchFolder scratch;
    const QString root = QString::fromStdString(scratch.root().string());
    ScratchFolder::write(scratch.path("old.txt"), "old");
    struct Row {
        const char* name;
        QString typed;
        QString confirmed; // below the folder
    };
    const Row rows[] = {
        {"NoExtension", "report", "report.txt"},
        {"TxtExtension", "notes.txt", "notes.txt"},
        {"OtherExtension", "data.csv", "data.csv"},
        {"ExistingFileNoQuestion", "old", "old.txt"},
        {"FolderNotChecked", "missing/deep", "missing/deep.txt"},
    };
    for (const Row& row : rows) {
        TSaveTextFileDialog dlg{.FileName = root + "/Color.txt", .EncodingIndex = 0};
        EXPECT_TRUE(RunDialog(dlg, TypeAndConfirm(row.typed))) << row.name;
        EXPECT_EQ(dlg.FileName, root + "/" + row.confirmed) << row.name;
    }
    // A dialog only chooses: nothing was written.
    EXPECT_EQ(scratch.entries(), QStringList{"old.txt"});
    EXPECT_EQ(ScratchFolder::read(scratch.path("old.txt")), "old");
}

TEST(QtSaveDialog, TheNextOpeningStartsOnThePathLastConfirmed)
{
    ScratchFolder first;
    ScratchFolder second;
    const InFolder current(first);
    TSaveTextFileDialog dlg{.FileName = "Color.txt", .EncodingIndex = 0};
    const QString folder = QString::fromStdString(second.root().string());
    ASSERT_TRUE(RunDialog(dlg, TypeAndConfirm(folder + "/red")));
    ASSERT_EQ(dlg.FileName, folder + "/red.txt");

    Seen seen;
    EXPECT_TRUE(RunDialog(
        dlg,
        [](QFileDialog&, QLineEdit& name, QComboBox&) { QTest::keyClick(&name, Qt::Key_Return); },
        &seen));
    EXPECT_EQ(seen.folder, folder);
    EXPECT_EQ(seen.name, "red.txt");
    EXPECT_EQ(dlg.FileName, folder + "/red.txt");
}

TEST(QtSaveDialog, CancelKeepsThePathButNotTheEncoding)
{
    ScratchFolder scratch;
    const QString kept = QString::fromStdString(scratch.path("kept.txt"));
    struct Row {
        const char* name;
        Act act;
    };
    const Row rows[] = {
        {"Escape",
         [](QFileDialog&, QLineEdit& name, QComboBox&) {
             QTest::keyClicks(&name, "other");
             QTest::keyClick(&name, Qt::Key_Escape);
         }},
        {"CancelButton", [](QFileDialog& dialog, QLineEdit&, QComboBox&) { dialog.reject(); }},
    };
    int encoding = 0;
    for (const Row& row : rows) {
        TSaveTextFileDialog dlg{.FileName = kept, .EncodingIndex = encoding};
        ++encoding;
        const bool confirmed =
            RunDialog(dlg, [&](QFileDialog& dialog, QLineEdit& name, QComboBox& encodings) {
                encodings.setCurrentIndex(encoding);
                row.act(dialog, name, encodings);
            });
        EXPECT_FALSE(confirmed) << row.name;
        EXPECT_EQ(dlg.FileName, kept) << row.name;
        EXPECT_EQ(dlg.EncodingIndex, encoding) << row.name;
    }
    EXPECT_TRUE(scratch.entries().isEmpty());
}

TEST(QtSaveDialog, KeepsTheEncodingWhenConfirmed)
{
    ScratchFolder scratch;
    TSaveTextFileDialog dlg{.FileName = QString::fromStdString(scratch.path("Color.txt")),
                            .EncodingIndex = 0};
    EXPECT_TRUE(RunDialog(dlg, [](QFileDialog& dialog, QLineEdit& name, QComboBox& encodings) {
        encodings.setCurrentIndex(5);
        TypeAndConfirm("utf7")(dialog, name, encodings);
    }));
    EXPECT_EQ(dlg.EncodingIndex, 5);
}

TEST(QtSaveDialog, LeavesNoSettingsBehind)
{
    ScratchFolder scratch;
    TSaveTextFileDialog dlg{.FileName = QString::fromStdString(scratch.path("Color.txt")),
                            .EncodingIndex = 0};
    ASSERT_TRUE(RunDialog(dlg, TypeAndConfirm("settings")));
    // The dialog writes its settings when it is destroyed, which Execute has done.
    EXPECT_EQ(FilesBelow(FreshHome::home->root()), QStringList{});
    EXPECT_TRUE(scratch.entries().isEmpty());
}
