// SPDX-License-Identifier: GPL-3.0-or-later
// The page's files served by the host on its own port, so that the page a player opens
// at the host's link and the WebSocket it opens come from one origin. A plain HTTP/1.1
// GET or HEAD of a file under the page's folder, one request a connection: nothing
// else (no other method, no path outside the folder, no link leading out of it, no
// escaped or hidden name), a request head of bounded size, a bounded number of
// connections served at once, each for a bounded time.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>

namespace transport {

class PageFiles : public QObject {
public:
    // folder: the page's files (index.html, the engine's .js and .wasm, ...); empty: none,
    // and every request is told the host does not serve the page.
    explicit PageFiles(QString folder, QObject* parent = nullptr);
    bool Serves() const { return !m_root.isEmpty(); }

    // Whether a request's head (up to its blank line) asks for a page rather than a
    // WebSocket: no Upgrade header.
    static bool AsksForPage(const QByteArray& head);
    // Answers the request and closes the connection, which it takes over.
    void Serve(QTcpSocket* tcp, const QByteArray& head);

    // Whether the folder holds a page (index.html and the engine).
    static bool HoldsPage(const QString& folder);

    static constexpr int kServedMost = 24;
    static constexpr int kServeMs = 60000;
    static constexpr qint64 kFileMost = 32 << 20;

private:
    void Answer(QTcpSocket* tcp, int status, const QByteArray& type, const QByteArray& body, bool head);

    QString m_root; // canonical
    int m_serving = 0;
};

// The values of a request head's header called name (in lower case; the head's names in
// any case), the request line aside, in order.
QList<QByteArray> HeaderValues(const QByteArray& head, QByteArrayView name);

// Where the program finds the page's files: beside it (web/), where an install puts
// them (../share/velcor/web), the source tree's build (build/web); empty when nowhere.
QString PageDirectory();

} // namespace transport
