// A small HTTP/1.1 server on 127.0.0.1 for the version-check tests: fixed
// answers per path, every request recorded. It runs on the test's thread,
// so it answers while the code under test waits in its own event loop.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace lintrel::testing {

struct Answer {
    enum Kind { Whole, CutShort, Silent, Trickle };
    int status = 200;
    QByteArray body;
    // CutShort: the connection ends halfway through the promised body.
    // Trickle: the body goes out one byte every tickMs, then the connection ends.
    Kind kind = Whole;
    int tickMs = 0;
};

struct RecordedRequest {
    QByteArray method, path;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
};

class LocalHttpServer : public QObject {
public:
    QMap<QByteArray, Answer> answers;  // by path; any other path gets 404
    QList<RecordedRequest> requests;

    LocalHttpServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
        server_.listen(QHostAddress::LocalHost);
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket* socket) {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        pending_.remove(socket);
        RecordedRequest request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
        }
        requests << request;
        respond(socket, answers.value(request.path, Answer{404, "not found"}));
    }

    static void respond(QTcpSocket* socket, const Answer& answer) {
        if (answer.kind == Answer::Silent) return;
        const qsizetype promised = answer.kind == Answer::CutShort ? answer.body.size() * 2 + 100 : answer.body.size();
        const QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) +
                                " Answer\r\nContent-Type: text/html\r\nContent-Length: " +
                                QByteArray::number(promised) + "\r\nConnection: close\r\n\r\n";
        if (answer.kind == Answer::Trickle) {
            socket->write(head);
            trickle(socket, answer.body, answer.tickMs);
            return;
        }
        const QByteArray body = answer.kind == Answer::CutShort ? answer.body.left(answer.body.size() / 2) : answer.body;
        socket->write(head + body);
        socket->disconnectFromHost();
    }

    // The timer belongs to the socket, so it stops when the client hangs up.
    static void trickle(QTcpSocket* socket, const QByteArray& body, int tickMs) {
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent = qsizetype(0)]() mutable {
            if (sent < body.size()) {
                socket->write(body.mid(sent++, 1));
                return;
            }
            timer->stop();
            socket->disconnectFromHost();
        });
        timer->start(tickMs);
    }

    QTcpServer server_;
    QMap<QTcpSocket*, QByteArray> pending_;
};

}  // namespace lintrel::testing
