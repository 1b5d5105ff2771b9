#pragma once
// Communication window: reads the new or old fault trace from the drive over a serial port.

#include <QString>
#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class ReadSession;

class TraceDocument;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    /// A successful read replaces document's trace.
    explicit TForm5(TraceDocument &document, QWidget *parent = nullptr);
    ~TForm5() override; // a read still running is stopped and its port closed

    // Controls, by the names of the original layout.
    QPushButton *Button1 = nullptr;   ///< close
    QPushButton *Button2 = nullptr;   ///< read the trace
    QPushButton *Button3 = nullptr;   ///< clear the message area
    QGroupBox *RadioGroup1 = nullptr; ///< port "COM1".."COM9"
    QGroupBox *RadioGroup2 = nullptr; ///< trace "New" / "Old"
    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr; ///< message area, one line per message
    QListWidget *ListBox1 = nullptr; ///< hidden: the text of exchange result r is entry -r
    // Added controls: where ports are not named COMn, the device a port item stands for;
    // and the exchanges done during a read.
    QLabel *DeviceLabel = nullptr;
    QLineEdit *DeviceEdit = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    /// The serial read behind Button2.
    ReadSession *Session = nullptr;

    /// Chosen port item, 0 for "COM1" .. 8 for "COM9".
    int PortIndex() const;
    void SetPortIndex(int index);
    /// Text of the chosen port item, e.g. "COM3".
    QString PortText() const;
    /// Chosen trace, 0 for "New", 1 for "Old".
    int DataIndex() const;
    void SetDataIndex(int index);
    /// True from Data Read until the read has finished or was stopped.
    bool IsReading() const { return reading; }
    /// Set when the last read failed; cleared when a read starts.
    bool ReadFailed = false;

    /// Opens the chosen port at the line settings, outside a read; a failure is shown in a
    /// message box. False when it failed or a read is running.
    bool OpenPort();
    /// Closes the port; a running read stops at once and changes nothing.
    void ClosePort();

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    /// Captions and font by Language, the port choice from the settings, Memo1 emptied.
    void FormCreate();
    /// Stops a running read and stores the port choice (value "COM").
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    TraceDocument &document;
    void CreateControls();
    void ShowOpenFailure(const QString &text);
    void SessionFinished(bool success);
    void ShowMessageLine(const QString &line);
    void ShowDevicePath();
    void CommitDevicePath();
    void AdjustFrame();

    QButtonGroup *portItems = nullptr;
    QButtonGroup *dataItems = nullptr;
    bool reading = false;
    QString readSource; ///< port and "New"/"Old" of the read under way
    QString readPort;   ///< the port item of the read under way
    bool readOld = false;
    bool japanese = false; ///< the language the window was opened in, for its own lines
    bool frameAdjusted = false;
    bool formClosed = false;
    QString deviceItem; // the port item whose device DeviceEdit shows
};

/// The open communication window, or nullptr.
extern TForm5 *Form5;
