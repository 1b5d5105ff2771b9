#pragma once
// vandrel-drive-sim run for one test: started on a fresh pseudo-terminal (or a given device)
// and stopped when the object goes away.

#include <QProcess>
#include <QString>
#include <QStringList>

class DriveSim {
public:
    DriveSim() = default;
    /// Starts at once; check Started() or path.
    explicit DriveSim(const QStringList &arguments);
    ~DriveSim();
    DriveSim(const DriveSim &) = delete;
    DriveSim &operator=(const DriveSim &) = delete;

    /// Starts the simulator with arguments and waits for the device path it prints first.
    /// False when it did not start, stopped, or printed no path within five seconds.
    bool Start(const QStringList &arguments);
    /// True once the simulator runs and has named its device.
    bool Started() const { return !path.isEmpty(); }
    /// Stops the simulator; the device it served goes away with it.
    void Stop();

    /// The device the simulator serves (a pseudo-terminal unless --device was given).
    QString path;
    /// Everything the simulator wrote to stderr up to now (for failure messages).
    QString ErrorOutput();

private:
    QProcess process_;
};
