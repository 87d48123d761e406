#pragma once

// Files a learner might pick in the Open-file dialog, good and bad, made in a temporary folder:
// empty, NUL bytes, over the size bound, 101 and 102 lines, thousands of lines, one very long
// line, invalid code page 932 and UTF-8, every kind of line end, blank lines only, a folder, a
// named pipe, a link to a device, and paths that do not exist.

#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace tokotoko::storm {

struct HostileFile {
    QString name; // what the storm log calls it
    QString path;
};

class HostileFiles {
public:
    HostileFiles();
    bool isValid() const { return m_dir.isValid(); }
    const QList<HostileFile>& all() const { return m_files; }
    // A readable, well-formed text of a few lines (for scripted sessions).
    const HostileFile& plainText() const;

private:
    void add(const QString& name, const QByteArray& bytes, const QString& fileName = {});
    void addPath(const QString& name, const QString& path);

    QTemporaryDir m_dir;
    QList<HostileFile> m_files;
};

} // namespace tokotoko::storm
