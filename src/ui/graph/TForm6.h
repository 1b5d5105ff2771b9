#pragma once
// Channel configuration window: per channel the default name or the user's own name.

#include "TraceRecord.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TraceDocument;

class TForm6 : public QWidget {
    Q_OBJECT
public:
    /// A top-level window that sets the channels' names in document when confirmed and then
    /// says so (Confirmed), so that the graph window relabels its check boxes. Closing it
    /// only hides it. The program keeps one (Form6), owned by the main frame, that every graph
    /// window uses in turn.
    explicit TForm6(TraceDocument &document, QWidget *parent = nullptr);
    ~TForm6() override;

    QLabel *Label13 = nullptr;                        ///< "Ch.No."
    QLabel *Label14 = nullptr;                        ///< "Ch表示" / "Ch Name"
    QLabel *Label[ChannelCount + 1] = {};             ///< row labels "ch1".."ch12" (1-based)
    QGroupBox *RadioGroup[ChannelCount + 1] = {};     ///< per channel (1-based)
    QRadioButton *DefaultItem[ChannelCount + 1] = {}; ///< first item: the default name
    QRadioButton *OwnItem[ChannelCount + 1] = {};     ///< second item: the typed name
    QLineEdit *Edit[ChannelCount + 1] = {};           ///< the typed names (1-based)
    QPushButton *Button1 = nullptr;                   ///< "OK"
    // The same controls under their layout names.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    QLabel *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr;
    QGroupBox *RadioGroup1 = nullptr, *RadioGroup2 = nullptr, *RadioGroup3 = nullptr;
    QGroupBox *RadioGroup4 = nullptr, *RadioGroup5 = nullptr, *RadioGroup6 = nullptr;
    QGroupBox *RadioGroup7 = nullptr, *RadioGroup8 = nullptr, *RadioGroup9 = nullptr;
    QGroupBox *RadioGroup10 = nullptr, *RadioGroup11 = nullptr, *RadioGroup12 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QLineEdit *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr;
    QLineEdit *Edit9 = nullptr, *Edit10 = nullptr, *Edit11 = nullptr, *Edit12 = nullptr;

    /// The text typed for channel k (1..12).
    QString EditText(int k) const;

    /// Fills the controls from the application-wide values (also run by the constructor).
    void FormCreate();

signals:
    /// The names were confirmed with OK; the document holds them.
    void Confirmed();

public slots:
    void Button1Click();

private:
    void CreateControls();
    void FitRow(int k);

    TraceDocument &document;
};

/// The program's one channel configuration window, or nullptr before the first graph window.
extern TForm6 *Form6;
