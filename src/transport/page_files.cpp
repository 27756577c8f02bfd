// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/page_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace transport {

namespace {

// A request's target: '/', letters, digits and . _ - in names that do not begin with
// a dot, folders apart by one '/'.
bool PlainTarget(const QByteArray& path)
{
    if (!path.startsWith('/'))
        return false;
    bool nameStart = true;
    for (qsizetype i = 1; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '/') {
            if (nameStart)
                return false;
            nameStart = true;
            continue;
        }
        if (nameStart && c == '.')
            return false;
        nameStart = false;
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-'))
            return false;
    }
    return true;
}

QByteArray TypeOf(const QString& name)
{
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".webmanifest", "application/manifest+json"},
        {".wasm", "application/wasm"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".txt", "text/plain"},
    };
    for (const auto& [ending, type] : kTypes)
        if (name.endsWith(QLatin1String(ending)))
            return type;
    return "application/octet-stream";
}

} // namespace

PageFiles::PageFiles(QString folder, QObject* parent)
    : QObject(parent), m_root(folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath())
{
}

bool PageFiles::HoldsPage(const QString& folder)
{
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("index.html"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("velcor-engine.wasm"))).isFile();
}

QList<QByteArray> HeaderValues(const QByteArray& head, QByteArrayView name)
{
    QList<QByteArray> values;
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            values.push_back(line.mid(colon + 1).trimmed());
    }
    return values;
}

bool PageFiles::AsksForPage(const QByteArray& head) { return HeaderValues(head, "upgrade").isEmpty(); }

void PageFiles::Serve(QTcpSocket* tcp, const QByteArray& head)
{
    tcp->setParent(this);
    tcp->setReadBufferSize(0);
    connect(tcp, &QTcpSocket::disconnected, tcp, &QObject::deleteLater);
    connect(tcp, &QObject::destroyed, this, [this] { --m_serving; });
    ++m_serving;
    // A reader who does not take what he asked for is cut off.
    QTimer::singleShot(kServeMs, tcp, [tcp] { tcp->abort(); });
    if (m_serving > kServedMost)
        return Answer(tcp, 503, "text/plain", {}, false);

    const QByteArray requestLine = head.left(head.indexOf('\n')).trimmed();
    const QList<QByteArray> parts = requestLine.split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1."))
        return Answer(tcp, 400, "text/plain", {}, false);
    const bool headOnly = parts[0] == "HEAD";
    if (parts[0] != "GET" && !headOnly)
        return Answer(tcp, 405, "text/plain", {}, false);
    QByteArray path = parts[1];
    if (const qsizetype query = path.indexOf('?'); query >= 0)
        path.truncate(query);
    if (path.endsWith('/'))
        path += "index.html";
    if (m_root.isEmpty())
        return Answer(tcp, 404, "text/plain; charset=utf-8",
                      "This host does not serve the game's page: join with the Velcor program.\n", headOnly);
    if (!PlainTarget(path))
        return Answer(tcp, 404, "text/plain", {}, headOnly);
    // The file itself, every link followed, must lie in the page's folder.
    const QFileInfo file(m_root + QString::fromLatin1(path));
    const QString real = file.canonicalFilePath();
    if (real.isEmpty() || !real.startsWith(m_root + QLatin1Char('/')) || !QFileInfo(real).isFile())
        return Answer(tcp, 404, "text/plain", {}, headOnly);
    QFile bytes(real);
    if (bytes.size() > kFileMost || !bytes.open(QIODevice::ReadOnly))
        return Answer(tcp, 404, "text/plain", {}, headOnly);
    Answer(tcp, 200, TypeOf(real), bytes.readAll(), headOnly);
}

void PageFiles::Answer(QTcpSocket* tcp, int status, const QByteArray& type, const QByteArray& body, bool head)
{
    static const std::pair<int, const char*> kReasons[] = {
        {200, "OK"}, {400, "Bad Request"}, {404, "Not Found"}, {405, "Method Not Allowed"}, {503, "Service Unavailable"}};
    const char* reason = "";
    for (const auto& [code, words] : kReasons)
        if (code == status)
            reason = words;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    answer += "Content-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (status == 405)
        answer += "Allow: GET, HEAD\r\n";
    answer += "Cache-Control: no-cache\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
              "Connection: close\r\n\r\n";
    if (!head)
        answer += body;
    tcp->write(answer);
    tcp->disconnectFromHost();
}

QString PageDirectory()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        candidates << exeDir + QStringLiteral("/web") << exeDir + QStringLiteral("/../share/velcor/web")
                   << exeDir + QStringLiteral("/../share/games/velcor/web");
    }
    candidates << QStringLiteral(VELCOR_SOURCE_PAGE_DIR);
    for (const QString& candidate : candidates)
        if (PageFiles::HoldsPage(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

} // namespace transport
