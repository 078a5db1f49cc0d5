#include "benchfigures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <vector>

// Requests per second and latency for one instrument record, asked for over and over by several
// clients on keep-alive connections to a running quentara-server on loopback.
namespace {

constexpr int kClients = 8;
constexpr int kWarmUpMs = 500;
constexpr int kMeasureMs = 4000;
const QByteArray kRequest = "GET /signals/eurusd.xml HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

// One client: sends a request, reads the whole answer, sends the next one.
class Client
{
public:
    Client(quint16 port, QList<double> &latencies, const QElapsedTimer &clock,
           const bool &measuring)
        : m_port(port)
        , m_latencies(latencies)
        , m_clock(clock)
        , m_measuring(measuring)
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] { send(); });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] { reconnect(); });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    }
    int failures() const { return m_failures; }

private:
    void send()
    {
        m_buffer.clear();
        m_sent = m_clock.nsecsElapsed();
        m_socket.write(kRequest);
    }

    void read()
    {
        m_buffer += m_socket.readAll();
        const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QByteArray header = m_buffer.left(headerEnd).toLower();
        const qsizetype at = header.indexOf("content-length:");
        const qint64 length =
            at < 0 ? 0 : header.mid(at + 15).split('\r').first().trimmed().toLongLong();
        if (m_buffer.size() < headerEnd + 4 + length)
            return;
        if (!header.startsWith("http/1.1 200"))
            ++m_failures;
        else if (m_measuring)
            m_latencies << double(m_clock.nsecsElapsed() - m_sent) / 1e6;
        send();
    }

    void reconnect()
    {
        ++m_failures;
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    }

    quint16 m_port;
    QList<double> &m_latencies;
    const QElapsedTimer &m_clock;
    const bool &m_measuring;
    QTcpSocket m_socket;
    QByteArray m_buffer;
    qint64 m_sent = 0;
    int m_failures = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QProcess server;
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--clock"),
                  QStringLiteral("2024-05-14T10:06:00Z")});
    while (server.state() != QProcess::NotRunning && !server.canReadLine())
        server.waitForReadyRead(20000);
    const quint16 port = quint16(server.readLine().trimmed().toUInt());
    if (port == 0) {
        std::fprintf(stderr, "bench_server_http: quentara-server did not start\n");
        return 1;
    }

    QList<double> latencies;
    QElapsedTimer clock;
    clock.start();
    bool measuring = false;
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < kClients; ++i)
        clients.push_back(std::make_unique<Client>(port, latencies, clock, measuring));
    qint64 measureStart = 0;
    QTimer::singleShot(kWarmUpMs, [&] {
        measuring = true;
        measureStart = clock.nsecsElapsed();
    });
    QTimer::singleShot(kWarmUpMs + kMeasureMs, [&] {
        measuring = false;
        const double seconds = double(clock.nsecsElapsed() - measureStart) / 1e9;
        int failures = 0;
        for (const auto &client : clients)
            failures += client->failures();
        printFigure("server_http_requests_per_second", double(latencies.size()) / seconds,
                    "requests/s");
        printFigure("server_http_latency_median", percentile(latencies, 0.5), "ms");
        printFigure("server_http_latency_p99", percentile(latencies, 0.99), "ms");
        printFigure("server_http_failures", failures, "requests");
        QCoreApplication::quit();
    });
    const int result = QCoreApplication::exec();
    clients.clear();
    server.kill();
    server.waitForFinished();
    return result;
}
