#include "LocalConnection.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <stdexcept>

namespace TestDriver::web {
namespace {

constexpr std::chrono::seconds answerWait{60}; // a driver this long silent hangs

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("connection to the browser's driver: " + what);
}

// The event loop's application, made for the driver where the test has none.
void NeedApplication() {
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "test_web";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs the event loop until `done` holds, waking whenever `source` sends `signal`, or until
// `wait` has passed; whether `done` holds.
template <class Source, class Signal>
bool RunUntil(const Source* source, Signal signal, const std::function<bool()>& done,
              std::chrono::milliseconds wait) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(source, signal, &loop, &QEventLoop::quit);
    timer.start(wait);
    while (!done() && timer.isActive())
        loop.exec();
    return done();
}

} // namespace

HttpAnswer HttpRequest(const std::string& address, std::string_view method, std::string_view body) {
    NeedApplication();
    static QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(QString::fromStdString(address)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    const std::unique_ptr<QNetworkReply> reply(
        network.sendCustomRequest(request, QByteArray(method.data(), qsizetype(method.size())),
                                  QByteArray(body.data(), qsizetype(body.size()))));
    const std::string what = std::string(method) + " " + address;
    if (!RunUntil(
            reply.get(), &QNetworkReply::finished, [&] { return reply->isFinished(); }, answerWait))
        Fail("no answer to " + what);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        Fail(what + ": " + reply->errorString().toStdString());
    return {status, reply->readAll().toStdString()};
}

WebSocket::WebSocket(const std::string& address) {
    NeedApplication();
    socket_ = std::make_unique<QWebSocket>();
    socket_->setProxy(QNetworkProxy::NoProxy);
    QObject::connect(socket_.get(), &QWebSocket::textMessageReceived,
                     [this](const QString& text) { received_.push_back(text.toStdString()); });
    QObject::connect(socket_.get(), &QWebSocket::disconnected, [this] { closed_ = true; });
    socket_->open(QUrl(QString::fromStdString(address)));
    const auto settled = [this] {
        return closed_ || socket_->state() == QAbstractSocket::ConnectedState;
    };
    if (!RunUntil(socket_.get(), &QWebSocket::stateChanged, settled, answerWait) || closed_)
        Fail("cannot open the WebSocket at " + address + ": " +
             socket_->errorString().toStdString());
}

WebSocket::~WebSocket() = default;

void WebSocket::Send(std::string_view text) {
    socket_->sendTextMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

std::optional<std::string> WebSocket::Receive(std::chrono::milliseconds wait) {
    RunUntil(
        socket_.get(), &QWebSocket::textMessageReceived,
        [this] { return !received_.empty() || closed_; }, wait);
    if (received_.empty() && closed_)
        Fail("the browser closed its WebSocket (see its log)");
    if (received_.empty())
        return std::nullopt;
    std::string text = std::move(received_.front());
    received_.pop_front();
    return text;
}

} // namespace TestDriver::web
