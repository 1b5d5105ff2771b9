#include "TAboutBox.h"

#include "Fonts.h"
#include "TForm1.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent) {
    AboutBox = this;
    setObjectName(QStringLiteral("AboutBox"));
    // The icons live in the ui library's resources; a static library must register them.
    Q_INIT_RESOURCE(resources);
    setWindowTitle(QStringLiteral("Version"));
    // Single border with a system menu only: no resizing, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(392, 253);
    // The button is drawn in the window's font too, as in every other window.
    setFont(WindowFont(font()));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 8, 376, 193);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(16, 16, 64, 64);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/icon64.png")));

    ProductName = new QLabel(Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setGeometry(96, 16, 264, 64);
    ProductName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProductName->setText(QStringLiteral("Norvex Vandrel Monitor\n\nVersion ") +
                         QString::number(ProgramVersion, 'f', 2));
    QFont labelFont = WindowFont(font());
    labelFont.setPointSize(9);
    ProductName->setFont(labelFont);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(159, 212, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // Centred on the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TAboutBox::~TAboutBox() {
    if (AboutBox == this)
        AboutBox = nullptr;
}
