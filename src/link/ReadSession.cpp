#include "ReadSession.h"

#include "PortNames.h"
#include "ReadSequence.h"

#include <QDateTime>
#include <QSerialPort>
#include <QTimer>
#include <memory>

namespace {

// How often a waiting read looks at the clock. The clock has whole seconds, so this only
// decides how soon after a second boundary a time-out is noticed; between ticks nothing runs.
constexpr int TickMilliseconds = 100;

QString Text(ReadText text) {
    const auto t = ReadTextFor(text);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

std::int64_t LocalSecondsNow() {
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

struct ReadSession::Private {
    enum class Phase { Idle, Settling, Reading };

    QSerialPort port;
    QTimer timer;
    std::function<std::int64_t()> clock = LocalSecondsNow;
    bool settleWait = true;
    Phase phase = Phase::Idle;
    std::unique_ptr<TReadTrace> read;
    std::int64_t settleStart = 0;
    int progressShown = 0;
    bool succeeded = false;
    // Changes whenever a read starts or is cancelled, so a slot that cancels or restarts the
    // session stops the signals of the read it interrupted.
    quint64 generation = 0;
};

ReadSession::ReadSession(QObject *parent) : QObject(parent), d(new Private) {
    d->timer.setSingleShot(true);
    connect(&d->timer, &QTimer::timeout, this, &ReadSession::OnTick);
    connect(&d->port, &QSerialPort::readyRead, this, &ReadSession::OnReadyRead);
    connect(&d->port, &QSerialPort::errorOccurred, this, &ReadSession::OnPortError);
}

ReadSession::~ReadSession() {
    d->timer.stop();
    if (d->port.isOpen())
        d->port.close();
    delete d;
}

bool ReadSession::IsRunning() const {
    return d->phase != Private::Phase::Idle;
}

void ReadSession::SetSettleWait(bool enabled) {
    d->settleWait = enabled;
}

void ReadSession::SetClock(std::function<std::int64_t()> secondsNow) {
    d->clock = secondsNow ? std::move(secondsNow) : LocalSecondsNow;
}

void ReadSession::ApplyTo(TTraceRecord &record) const {
    if (d->succeeded && d->read)
        ApplyReading(d->read->Reading(), record);
}

bool ReadSession::Succeeded() const {
    return d->succeeded;
}

QString ReadSession::OpenPort(const QString &devicePath) {
    d->port.setPortName(devicePath);
    if (!d->port.open(QIODevice::ReadWrite)) {
        // A device that opens but is no serial line cannot report its line settings.
        const bool notALine = d->port.error() == QSerialPort::UnsupportedOperationError;
        return Text(notALine ? ReadText::GetStateError : ReadText::CreateFileError);
    }
    // Only these settings are applied; DTR and RTS are left alone (a pseudo-terminal refuses
    // them, a real adapter keeps its state).
    const bool applied = d->port.setBaudRate(9600) && d->port.setDataBits(QSerialPort::Data8) &&
                         d->port.setParity(QSerialPort::NoParity) &&
                         d->port.setStopBits(QSerialPort::OneStop) &&
                         d->port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        ClosePort();
        return Text(ReadText::SetStateError);
    }
    return {};
}

void ReadSession::ClosePort() {
    d->timer.stop();
    if (d->port.isOpen())
        d->port.close();
}

void ReadSession::Start(const QString &port, bool oldTrace) {
    if (IsRunning())
        return;
    const quint64 generation = ++d->generation;
    d->succeeded = false;
    d->progressShown = 0;
    d->read = std::make_unique<TReadTrace>(oldTrace ? OldTraceAddress : NewTraceAddress);
    d->phase = Private::Phase::Settling;
    emit MessageLine(Text(ReadText::Communicating));
    if (generation != d->generation)
        return;

    const QString failure = OpenPort(DevicePathFor(port));
    if (!failure.isEmpty()) {
        // Without a port there is nothing to wait for: the read ends here.
        d->phase = Private::Phase::Idle;
        emit OpenFailed(failure);
        if (generation == d->generation)
            emit Finished(false);
        return;
    }
    emit Progress(0, d->read->ExchangeTotal());
    if (generation != d->generation)
        return;
    if (d->settleWait) {
        d->settleStart = d->clock();
        d->timer.start(TickMilliseconds);
    } else {
        BeginRead();
    }
}

void ReadSession::Cancel() {
    if (!IsRunning())
        return;
    ++d->generation;
    d->phase = Private::Phase::Idle;
    d->succeeded = false;
    ClosePort();
}

void ReadSession::BeginRead() {
    d->phase = Private::Phase::Reading;
    Handle(d->read->Start(d->clock()));
}

void ReadSession::OnTick() {
    const std::int64_t now = d->clock();
    switch (d->phase) {
    case Private::Phase::Idle:
        return;
    case Private::Phase::Settling:
        if (now >= d->settleStart + SettleSeconds)
            BeginRead();
        else
            d->timer.start(TickMilliseconds);
        return;
    case Private::Phase::Reading:
        Handle(d->read->Tick(now));
        return;
    }
}

void ReadSession::OnReadyRead() {
    // At 9600 baud bytes often arrive one by one, so this runs thousands of times per read:
    // no allocation here.
    char bytes[ReceiveBufferSize];
    const qint64 n = d->port.read(bytes, sizeof bytes);
    if (n <= 0 || d->phase != Private::Phase::Reading)
        return; // nothing was asked yet; the next request discards it anyway
    Handle(d->read->Received(reinterpret_cast<const std::uint8_t *>(bytes),
                             static_cast<std::size_t>(n), d->clock()));
    // More than one buffer may be waiting; readyRead is not emitted again for it.
    if (d->phase == Private::Phase::Reading && d->port.bytesAvailable() > 0)
        QTimer::singleShot(0, this, &ReadSession::OnReadyRead);
}

void ReadSession::OnPortError(int error) {
    switch (error) {
    case QSerialPort::ResourceError: // the device went away (adapter pulled out)
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        break;
    default:
        return; // e.g. DTR/RTS unsupported on a pseudo-terminal: harmless
    }
    if (d->phase == Private::Phase::Reading) {
        Handle(d->read->PortError());
    } else if (d->phase == Private::Phase::Settling) {
        const quint64 generation = d->generation;
        emit MessageLine(QString::fromUtf8(ExchangeResultText(ExchangeTimeOut).data()));
        if (generation == d->generation)
            Finish(false);
    }
}

void ReadSession::Handle(const std::vector<TReadAction> &actions) {
    const quint64 generation = d->generation;
    for (const auto &action : actions) {
        switch (action.kind) {
        case TReadAction::Send:
            ReportProgress();
            if (generation != d->generation)
                return;
            // Whatever is pending in either direction belongs to no request of ours.
            d->port.clear(QSerialPort::AllDirections);
            if (generation != d->generation || d->phase != Private::Phase::Reading)
                return; // the port failed while being cleared and the read has ended
            d->port.write(reinterpret_cast<const char *>(action.request.data()),
                          static_cast<qint64>(action.request.size()));
            break;
        case TReadAction::Message:
            emit MessageLine(QString::fromStdString(action.line));
            break;
        case TReadAction::Done:
            ReportProgress();
            if (generation != d->generation)
                return;
            Finish(true);
            return;
        case TReadAction::Failed:
            Finish(false);
            return;
        }
        if (generation != d->generation || d->phase != Private::Phase::Reading)
            return;
    }
    if (d->phase == Private::Phase::Reading && !d->timer.isActive())
        d->timer.start(TickMilliseconds);
}

void ReadSession::ReportProgress() {
    const int done = d->read->ExchangesDone();
    if (done == d->progressShown)
        return;
    d->progressShown = done;
    emit Progress(done, d->read->ExchangeTotal());
}

void ReadSession::Finish(bool success) {
    const quint64 generation = d->generation;
    ClosePort();
    d->phase = Private::Phase::Idle;
    d->succeeded = success;
    if (success) {
        emit MessageLine(Text(ReadText::NormallyEnd));
        if (generation != d->generation)
            return;
    }
    emit Finished(success);
}
