#include "ReadSession.h"

#include "PortNames.h"
#include "ReadSequence.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

// How often a waiting read looks at the clock. The clock has whole seconds, so this only
// decides how soon after a second boundary a time-out is noticed; between ticks nothing runs.
constexpr int TickMilliseconds = 100;

// At 9600 baud a byte takes 1.04 ms and readyRead comes for nearly every byte. While much of a
// reply is still to come, the session lets the bytes gather in the driver and looks again
// when the rest should be there: a 481-byte reply then costs a few wake-ups instead of 481.
constexpr double ByteMilliseconds = 10.0 * 1000.0 / 9600.0;
constexpr std::size_t GatherFromMissing = 16;
constexpr int GatherMaxMilliseconds = 600;

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
    QTimer gatherTimer;
    bool gathering = false;
    QElapsedTimer replyClock;   // since the first bytes of the awaited reply
    std::size_t firstBytes = 0; // bytes that came with them; 0 before they came
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
    d->gatherTimer.setSingleShot(true);
    d->gatherTimer.setTimerType(Qt::PreciseTimer);
    connect(&d->gatherTimer, &QTimer::timeout, this, &ReadSession::StopGathering);
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

QString ReadSession::OpenPort(const QString &port) {
    if (IsRunning())
        return Text(ReadText::CreateFileError); // the running read holds the port
    return OpenDevice(DevicePathFor(port));
}

void ReadSession::ClosePort() {
    if (IsRunning())
        Cancel();
    else
        ReleasePort();
}

bool ReadSession::IsPortOpen() const {
    return d->port.isOpen();
}

QString ReadSession::OpenDevice(const QString &devicePath) {
    // A port left open by OpenPort is given up first: a second open of it would fail.
    ReleasePort();
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
        ReleasePort();
        return Text(ReadText::SetStateError);
    }
    return {};
}

void ReadSession::ReleasePort() {
    d->timer.stop();
    d->gatherTimer.stop();
    d->gathering = false;
    d->port.setReadBufferSize(0);
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

    const QString failure = OpenDevice(DevicePathFor(port));
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
    ReleasePort();
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

void ReadSession::StopGathering() {
    if (!d->gathering)
        return;
    d->gathering = false;
    // Lifting the limit makes the port watch the line again and fetch all that gathered in
    // one go; readyRead follows.
    d->port.setReadBufferSize(0);
}

void ReadSession::OnReadyRead() {
    if (d->gathering)
        return; // the byte stays in the port's buffer; StopGathering takes it
    // This runs up to once per byte: no allocation here.
    char bytes[ReceiveBufferSize];
    const qint64 n = d->port.read(bytes, sizeof bytes);
    if (n <= 0 || d->phase != Private::Phase::Reading)
        return; // nothing was asked yet; the next request discards it anyway
    Handle(d->read->Received(reinterpret_cast<const std::uint8_t *>(bytes),
                             static_cast<std::size_t>(n), d->clock()));
    if (d->phase != Private::Phase::Reading)
        return;
    // More than one buffer may be waiting; readyRead is not emitted again for it.
    if (d->port.bytesAvailable() > 0) {
        QTimer::singleShot(0, this, &ReadSession::OnReadyRead);
        return;
    }
    const std::size_t received = d->read->ReplyBytesReceived();
    if (received == 0)
        return;
    if (d->firstBytes == 0) {
        d->firstBytes = received;
        d->replyClock.start();
    }
    // Only a reply that trickles in at line speed is worth waiting for; one that comes in
    // bursts (a pseudo-terminal, a buffering adapter) is read as it comes.
    const double lineBytes = static_cast<double>(d->replyClock.elapsed()) / ByteMilliseconds;
    const bool trickles =
        d->firstBytes <= 4 && static_cast<double>(received - d->firstBytes) <= lineBytes + 4;
    const std::size_t missing = d->read->ReplyBytesMissing();
    if (trickles && missing >= GatherFromMissing) {
        // A read buffer of one byte makes the port stop watching the line once a byte is in.
        d->gathering = true;
        d->port.setReadBufferSize(1);
        const double wait = static_cast<double>(missing) * ByteMilliseconds;
        d->gatherTimer.start(std::min(GatherMaxMilliseconds, static_cast<int>(wait) + 2));
    }
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
            d->firstBytes = 0;
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
    d->phase = Private::Phase::Idle;
    d->succeeded = success;
    ReleasePort();
    if (success) {
        emit MessageLine(Text(ReadText::NormallyEnd));
        if (generation != d->generation)
            return;
    }
    emit Finished(success);
}
