#pragma once
// A fresh folder for a test's files, removed with everything in it afterwards
// (even after a test made parts of it read-only).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "huvella-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no scratch folder");
        FRoot = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(FRoot, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(FRoot, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(FRoot, ignored);
    }

    const std::filesystem::path& root() const { return FRoot; }
    std::string path(const std::string& name) const { return (FRoot / name).string(); }
    QString qpath(const std::string& name) const { return QString::fromStdString(path(name)); }

    static void write(const std::string& path, const QByteArray& bytes)
    {
        std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
    }
    static QByteArray read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        return QByteArray::fromStdString(bytes);
    }

    // The names in a folder below the root ("" for the root), sorted, hidden ones included.
    QStringList entries(const std::string& folder = {}) const
    {
        QStringList names;
        for (const auto& entry : std::filesystem::directory_iterator(FRoot / folder))
            names << QString::fromStdString(entry.path().filename().string());
        names.sort();
        return names;
    }

private:
    std::filesystem::path FRoot;
};
