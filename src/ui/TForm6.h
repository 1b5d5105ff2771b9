#pragma once
// Channel configuration window: per channel the default name or the user's own name.

#include "TraceRecord.h"

#include <QPointer>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TGraghForm;

class TForm6 : public QWidget {
    Q_OBJECT
public:
    /// A top-level window (kept alive by parent, usually the main frame) that relabels graph's
    /// channel check boxes when confirmed. Closing it only hides it.
    explicit TForm6(QWidget *parent = nullptr, TGraghForm *graph = nullptr);
    ~TForm6() override;

    QLabel *Label13 = nullptr;                        ///< "Ch.No."
    QLabel *Label14 = nullptr;                        ///< "Ch表示" / "Ch Name"
    QLabel *Label[ChannelCount + 1] = {};             ///< row labels "ch1".."ch12" (1-based)
    QGroupBox *RadioGroup[ChannelCount + 1] = {};     ///< per channel (1-based)
    QRadioButton *DefaultItem[ChannelCount + 1] = {}; ///< first item: the default name
    QRadioButton *OwnItem[ChannelCount + 1] = {};     ///< second item: the typed name
    QLineEdit *Edit[ChannelCount + 1] = {};           ///< the typed names (1-based)
    QPushButton *Button1 = nullptr;                   ///< "OK"

    /// The text typed for channel k (1..12).
    QString EditText(int k) const;
    /// The graph window this one relabels, or nullptr once it has closed.
    TGraghForm *Graph() const { return graph; }

public slots:
    void Button1Click();

private:
    void CreateControls();
    void FormCreate();

    QPointer<TGraghForm> graph;
};

/// The channel configuration window created last, or nullptr.
extern TForm6 *Form6;
