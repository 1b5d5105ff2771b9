#include "ReadSession.h"

#include "PortLock.h"
#include "PortNames.h"
#include "ReadSequence.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// How often a waiting read looks at the clock. The clock has whole seconds, so this only
// decides how soon after a second boundary a time-out is noticed; between ticks nothing runs.
constexpr int TickMilliseconds = 100;

QString Text(ReadText text, std::int32_t language) {
    const auto t = ReadTextFor(text, language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// Whole seconds of a clock that only moves forward: setting the system's time, or its being
// corrected, neither ends a waiting exchange early nor stretches it.
std::int64_t MonotonicSecondsNow() {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

// Why the port refused to open, in the terms the user can act on.
TPortOpenFailure DescribeOpenFailure(const QSerialPort &port, const QString &devicePath,
                                     const QString &lockFile) {
    TPortOpenFailure failure;
    failure.device = devicePath.toStdString();
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        failure.fault = PortOpenFault::Missing;
        return failure;
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
        // QSerialPort reports a lock file in the way, a device without access rights and one
        // opened exclusively elsewhere all alike; the lock file and the rights tell them apart.
        if (!lockFile.isEmpty() && QFileInfo::exists(lockFile)) {
            failure.lockFile = lockFile.toStdString();
            failure.pid = LockFileOwner(lockFile);
            failure.fault =
                failure.pid > 0 ? PortOpenFault::LockedByProcess : PortOpenFault::LockedByFile;
            return failure;
        }
        if (!lockFile.isEmpty()) {
            const QByteArray path = QFile::encodeName(devicePath);
            const bool denied = ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
            failure.fault = denied ? PortOpenFault::Denied : PortOpenFault::Busy;
            return failure;
        }
        break; // no usable lock folder: the system's wording says so
#else
        // A COM port that another program holds refuses access.
        Q_UNUSED(lockFile);
        failure.fault = PortOpenFault::Busy;
        return failure;
#endif
    default:
        break;
    }
    failure.fault = PortOpenFault::Other;
    failure.system = port.errorString().toStdString();
    return failure;
}

} // namespace

struct ReadSession::Private {
    enum class Phase { Idle, Opening, Settling, Reading };

    QSerialPort port;
    QTimer timer;
    std::function<std::int64_t()> clock = MonotonicSecondsNow;
    std::function<std::int32_t()> language = [] { return LanguageEnglish; };
    bool settleWait = true;
    Phase phase = Phase::Idle;
    std::unique_ptr<TReadTrace> read;
    std::int64_t settleStart = 0;
    QString devicePath; // of the running read
    int progressShown = 0;
    bool succeeded = false;
    // Changes whenever a read starts or is cancelled, so a slot that cancels or restarts the
    // session stops the signals of the read it interrupted.
    quint64 generation = 0;
};

ReadSession::ReadSession(QObject *parent) : QObject(parent), d(new Private) {
    d->timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, which would end the wait for a young lock file
    // before it has aged past the grace time.
    d->timer.setTimerType(Qt::PreciseTimer);
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
    d->clock = secondsNow ? std::move(secondsNow) : MonotonicSecondsNow;
}

void ReadSession::SetLanguage(std::function<std::int32_t()> languageNow) {
    d->language = languageNow ? std::move(languageNow) : [] { return LanguageEnglish; };
}

std::optional<std::int32_t> ReadSession::ApplyTo(TTraceRecord &record) const {
    if (!d->succeeded || !d->read)
        return std::nullopt;
    return ApplyReading(d->read->Reading(), record);
}

bool ReadSession::Succeeded() const {
    return d->succeeded;
}

QString ReadSession::OpenPort(const QString &port) {
    if (IsRunning())
        return Text(ReadText::CreateFileError, d->language()); // the running read holds the port
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
    const QString lockFile = SerialLockFilePath(devicePath);
    RemoveAbandonedLockFile(lockFile);
    d->port.setPortName(devicePath);
    if (!d->port.open(QIODevice::ReadWrite)) {
        // A device that opens but is no serial line cannot report its line settings.
        if (d->port.error() == QSerialPort::UnsupportedOperationError)
            return Text(ReadText::GetStateError, d->language());
        const std::string reason =
            PortOpenReasonText(DescribeOpenFailure(d->port, devicePath, lockFile), d->language());
        return Text(ReadText::CreateFileError, d->language()) + QLatin1Char('\n') +
               QString::fromStdString(reason);
    }
    // Only these settings are applied; DTR and RTS are left alone (a pseudo-terminal refuses
    // them, a real adapter keeps its state).
    const bool applied = d->port.setBaudRate(9600) && d->port.setDataBits(QSerialPort::Data8) &&
                         d->port.setParity(QSerialPort::NoParity) &&
                         d->port.setStopBits(QSerialPort::OneStop) &&
                         d->port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        ReleasePort();
        return Text(ReadText::SetStateError, d->language());
    }
    return {};
}

void ReadSession::ReleasePort() {
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
    d->read =
        std::make_unique<TReadTrace>(oldTrace ? OldTraceAddress : NewTraceAddress, d->language());
    d->phase = Private::Phase::Opening;
    d->devicePath = DevicePathFor(port);
    emit MessageLine(Text(ReadText::Communicating, d->language()));
    if (generation != d->generation)
        return;
    // A lock file that is empty and unheld but young may belong to an owner that is just
    // starting; once it has aged past the grace time it is known to be abandoned. Waiting
    // that long beats failing and leaving the user locked out for 30 s.
    const auto age = EmptyLockFileAge(SerialLockFilePath(d->devicePath));
    if (age.count() >= 0 && age <= LockFileGrace) {
        d->timer.start(static_cast<int>((LockFileGrace - age).count()) + 50);
        return;
    }
    OpenAndSettle();
}

void ReadSession::OpenAndSettle() {
    const quint64 generation = d->generation;
    const QString failure = OpenDevice(d->devicePath);
    if (!failure.isEmpty()) {
        // Without a port there is nothing to wait for: the read ends here.
        d->phase = Private::Phase::Idle;
        emit OpenFailed(failure);
        if (generation == d->generation)
            emit Finished(false);
        return;
    }
    d->phase = Private::Phase::Settling;
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
    case Private::Phase::Opening:
        OpenAndSettle();
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
    // Whatever has arrived goes to the read sequence at once; it decides when a reply is
    // complete. At 9600 baud this runs up to once per byte: no allocation here.
    const quint64 generation = d->generation;
    char bytes[ReceiveBufferSize];
    for (;;) {
        const qint64 n = d->port.read(bytes, sizeof bytes);
        if (n <= 0 || generation != d->generation)
            return;
        if (d->phase != Private::Phase::Reading)
            continue; // nothing was asked yet: the bytes belong to no request of ours
        Handle(d->read->Received(reinterpret_cast<const std::uint8_t *>(bytes),
                                 static_cast<std::size_t>(n), d->clock()));
        if (generation != d->generation || d->phase != Private::Phase::Reading)
            return;
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
        emit MessageLine(Text(ReadText::NormallyEnd, d->language()));
        if (generation != d->generation)
            return;
    }
    emit Finished(success);
}
