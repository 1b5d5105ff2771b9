#pragma once
// One read of a fault trace from the drive, event-driven: it never blocks the caller.

#include "TraceRecord.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct TReadAction;

/// Reads the new or old trace over a serial port without blocking the thread that runs it.
/// Every progress and failure text the communication window shows is emitted as MessageLine,
/// composed in the language SetLanguage gives at that moment. Slots may call Start or Cancel; a
/// session that is to go away from inside one of its own signals is deleted with deleteLater().
class ReadSession : public QObject {
    Q_OBJECT
public:
    explicit ReadSession(QObject *parent = nullptr);
    ~ReadSession() override; // closes the port if a read is still running

    /// Starts a read. port is "COM1".."COM9" (mapped by DevicePathFor) or a device path.
    /// Emits MessageLine("Communicating..." / "通信中") first. Does nothing while running.
    /// An empty lock file that may still be getting its owner's id delays the open until it
    /// is known to be abandoned (up to 2 s).
    void Start(const QString &port, bool oldTrace);
    /// Stops a running read at once: the port is closed, no further signal is emitted.
    void Cancel();
    /// True from Start until Finished has been emitted or Cancel was called.
    bool IsRunning() const;

    /// Opens port ("COM1".."COM9" or a device path) at the line settings outside a read and
    /// keeps it open until ClosePort. Returns the failure text, empty on success:
    /// "CreateFile Error!" and, on a second line, the device and the reason (missing, no
    /// access, in use, held by a lock file); or "GetCommState Error!" or "SetCommState Error!".
    /// An empty lock file that no process can own any more is removed first. Start opens the
    /// port itself, giving up one left open here.
    QString OpenPort(const QString &port);
    /// Closes the port; a running read is stopped as by Cancel.
    void ClosePort();
    /// True while the port is open.
    bool IsPortOpen() const;

    /// Waits 1-2 s after opening the port before the first request (default on).
    void SetSettleWait(bool enabled);
    /// Replaces the clock (whole seconds) used for the settle wait and time-outs. The default
    /// is monotonic, so a change of the system's time does not affect a read.
    void SetClock(std::function<std::int64_t()> secondsNow);

    /// Where the language of the lines comes from ('1' Japanese, anything else English); it is
    /// asked whenever a line is composed. The default is English.
    void SetLanguage(std::function<std::int32_t()> languageNow);

    /// After Finished(true): puts what was read into record: Value, Flag, Header and the
    /// factors of the drive type read, together, and returns that drive type (the values are
    /// raw drive units). Without a successful read record stays as it was and nothing returns.
    std::optional<std::int32_t> ApplyTo(TTraceRecord &record) const;
    /// True when the last read finished with all exchanges successful (until the next Start).
    bool Succeeded() const;

signals:
    /// A line for the message area, e.g. "ERROR :  TimeOut Error" or "Normally End!".
    void MessageLine(const QString &line);
    /// The port could not be opened: the text OpenPort returns. Shown in a message box and
    /// kept in the message area; Finished(false) follows.
    void OpenFailed(const QString &text);
    /// Exchanges completed so far, of total (17 for a full read).
    void Progress(int done, int total);
    /// The read ended; the port is closed. success is true only when all exchanges succeeded.
    void Finished(bool success);

private:
    QString OpenDevice(const QString &devicePath);
    void ReleasePort();
    void OpenAndSettle();
    void BeginRead();
    void OnTick();
    void OnReadyRead();
    void OnPortError(int error);
    void Handle(const std::vector<TReadAction> &actions);
    void ReportProgress();
    void Finish(bool success);

    struct Private;
    Private *d;
};
