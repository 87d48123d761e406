#include "HostileFiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <sys/stat.h>

namespace tokotoko::storm {

namespace {

QByteArray cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QByteArray numberedLines(int count, const QByteArray& ending) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + ending;
    return bytes;
}

} // namespace

HostileFiles::HostileFiles() {
    if (!m_dir.isValid())
        return;
    add(QStringLiteral("few lines"), "abc\r\nxyz\r\nlast line\r\n");
    add(QStringLiteral("cp932 japanese"),
        cp932(QStringLiteral("きょうは　いい天気です。\r\nｶﾀｶﾅ～＼－①\r\n漢字かな交じり文\r\n")));
    add(QStringLiteral("one line"), "only\r\n");
    add(QStringLiteral("one line without end"), "x");
    add(QStringLiteral("one blank line"), "\r\n");
    add(QStringLiteral("blank lines only"), "\r\n\r\n\r\n");
    add(QStringLiteral("spaces and tabs"), "  \r\n\t\r\n\xe3\x80\x80 \r\n");
    add(QStringLiteral("repeated lines"), "same\r\nsame\r\nsame\r\n");
    add(QStringLiteral("lone LF"), "one\ntwo\nthree\n");
    add(QStringLiteral("lone CR"), "one\rtwo\rthree\r");
    add(QStringLiteral("utf-8 with BOM"), "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\nnext\r\n");
    add(QStringLiteral("utf-8"), "\xE3\x81\x82\xE3\x81\x84\nabc\n");
    add(QStringLiteral("101 lines"), numberedLines(101, "\r\n"));
    add(QStringLiteral("102 lines"), numberedLines(102, "\r\n"));
    add(QStringLiteral("5000 lines"), numberedLines(5000, "\n"));
    add(QStringLiteral("long line"), QByteArray(20000, 'w') + "\r\nshort\r\n");
    add(QStringLiteral("invalid cp932"), "bad \x81\x20 pair\r\n\x80\xFD\r\ncut \x88");
    add(QStringLiteral("invalid utf-8"), "\xEF\xBB\xBFok\r\n\xE3\x81 cut\r\n");
    add(QStringLiteral("end-of-file mark"), "text\r\n\x1A");
    add(QStringLiteral("empty"), QByteArray());
    add(QStringLiteral("NUL bytes"), QByteArray("a\0b\r\n", 5));
    add(QStringLiteral("utf-16"), QByteArray("\xFF\xFEh\0i\0\r\0\n\0", 10));
    add(QStringLiteral("over 1 MiB"), QByteArray(1024 * 1024 + 1, 'a'));
    add(QStringLiteral("byte-order marks only"), "\xEF\xBB\xBF\xEF\xBB\xBF");
    add(QStringLiteral("japanese file name"), "名前\r\n", QStringLiteral("日本語の名前.txt"));

    const QString folder = m_dir.filePath(QStringLiteral("a folder.txt"));
    QDir().mkpath(folder);
    addPath(QStringLiteral("a folder"), folder);
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.txt"));
    if (::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0)
        addPath(QStringLiteral("a named pipe"), pipe);
    const QString device = m_dir.filePath(QStringLiteral("zero.txt"));
    if (QFile::link(QStringLiteral("/dev/zero"), device))
        addPath(QStringLiteral("a link to /dev/zero"), device);
    addPath(QStringLiteral("missing"), m_dir.filePath(QStringLiteral("missing.txt")));
    addPath(QStringLiteral("missing folder"), QStringLiteral("/nonexistent/folder/text.txt"));
}

const HostileFile& HostileFiles::plainText() const {
    return m_files.first();
}

void HostileFiles::add(const QString& name, const QByteArray& bytes, const QString& fileName) {
    const QString path = m_dir.filePath(
        fileName.isEmpty() ? QString::number(m_files.size()) + QStringLiteral(".txt") : fileName);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        m_files.append({name, path});
}

void HostileFiles::addPath(const QString& name, const QString& path) {
    m_files.append({name, path});
}

} // namespace tokotoko::storm
