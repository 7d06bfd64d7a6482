// TFrm_Main: construction, start and close, and the event filter that carries the list's and
// panes' small input behaviours.
#include "Unit_Main.h"

#include "ui_PageZ1.h"
#include "ui_PageZ2.h"
#include "ui_PageZ3.h"
#include "ui_Unit_Main.h"

#include "HintSwitch.h"
#include "Unit_Pswd.h"

#include <Unit_AppLang.h>
#include <Unit_Public.h>
#include <Unit_Udp.h>

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

TFrm_Main::TFrm_Main(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint)
    , ui(new Ui::TFrm_Main)
    , uiZ1(new Ui::PageZ1)
    , uiZ2(new Ui::PageZ2)
    , uiZ3(new Ui::PageZ3) {
    ui->setupUi(this);
    // The three parameter pages live in their own forms, laid into the pages of rzpgcntrl_Param.
    uiZ1->setupUi(ui->rztbsht_Z1);
    uiZ2->setupUi(ui->rztbsht_Z3);
    uiZ3->setupUi(ui->rztbsht_Z3Net);

    // Default font: 12-pixel Song, with a CJK font where Song is missing.
    QFont f = font();
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                   QStringLiteral("WenQuanYi Micro Hei"), f.family()});
    f.setPixelSize(12);
    setFont(f);

    m_statPanel0 = new QLabel(ui->stat1);
    m_statPanel0->setFixedWidth(400);
    m_statPanel1 = new QLabel(ui->stat1);
    m_statPanel1->setFixedWidth(50);
    ui->stat1->addWidget(m_statPanel0);
    ui->stat1->addWidget(m_statPanel1);
    ui->stat1->setSizeGripEnabled(false);

    SetupDeviceList();
    SetupDeviceMenu();
    ConnectHandlers();

    m_frmPswd = new TFrm_Pswd(this);
    FormCreate();

    // Centred on the screen at its initial size.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(WidthParam / 2, ClientHeight / 2));
    }
}

TFrm_Main::~TFrm_Main() {
    FormClose();
}

// Start order: texts, the initial and the search state, then the LAN endpoint.
void TFrm_Main::FormCreate() {
    InitLanguage();
    (LangChinese() ? ui->mni_Cn : ui->mni_En)->setChecked(true);
    ApplyMainTexts();
    SetUIState(UIStateInit);
    SetUIState(UIStateSearch);
    CreateUdpSvr();
}

// Close order: the endpoint first, the text list last. (The serial port and the settings
// file take their places in this order when they exist.)
void TFrm_Main::FormClose() {
    if (m_udpSvr) {
        m_udpSvr->disconnect(this);
        delete m_udpSvr;
        m_udpSvr = nullptr;
    }
    if (LangList())
        FreeLanguage();
}

void TFrm_Main::closeEvent(QCloseEvent *event) {
    FormClose();
    event->accept();
}

void TFrm_Main::SetupDeviceList() {
    QTreeWidget *lv = ui->lv_Dev;
    // The version column is wider than the 42 pixels of a 12-pixel bitmap font: its header
    // text must not be cut.
    const int widths[] = {100, 108, 114, 60};
    for (int c = 0; c < 4; ++c)
        lv->setColumnWidth(c, widths[c]);
    lv->setColumnHidden(4, true);              // model code
    lv->setColumnHidden(5, true);              // binding index
    lv->header()->setStretchLastSection(true); // the version column fills the rest
    lv->header()->setSectionsMovable(false);
    // The selected row stays marked while the list does not have the focus.
    QPalette pal = lv->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    lv->setPalette(pal);
    // Mouse movement gives the focus to the list and to the hex stream (the wheel then
    // scrolls the control under the mouse); keys in the list are discarded.
    lv->setMouseTracking(true);
    lv->viewport()->setMouseTracking(true);
    lv->viewport()->installEventFilter(this);
    lv->installEventFilter(this);
    ui->redt_Hex->viewport()->setMouseTracking(true);
    ui->redt_Hex->viewport()->installEventFilter(this);
    // Log panes: 12-pixel Song like the window.
    for (QPlainTextEdit *pane : {ui->redt_Log, ui->redt_Hex})
        pane->setMaximumBlockCount(0);
}

void TFrm_Main::SetupDeviceMenu() {
    m_pmNetDev = new QMenu(this);
    m_pmNetDev->setObjectName(QStringLiteral("pm_NetDev"));
    m_pmNetDev->addAction(ui->mniReadTheParam);
    m_pmNetDev->addSeparator();
    m_pmNetDev->addAction(ui->mni_OpenWeb);
    m_pmNetDev->addAction(ui->mni_Restart);
    m_pmNetDev->addAction(ui->mni_FirmwareUp);
    m_pmNetDev->addAction(ui->mni_Reset);
    m_pmNetDev->addSeparator();
    m_pmNetDev->addAction(ui->mni_CopyTheMac);
    m_pmNetDev->addAction(ui->mni_CopeAllMac);
}

bool TFrm_Main::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::Wheel:
        if (watched->isWidgetType() && ScrollBox1Wheel(event))
            return true;
        break;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        // Keys never change the selection (each selection is a click that reads a device);
        // Tab and Shift+Tab still move the focus on, or the list would trap it.
        if (watched == ui->lv_Dev) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            return !(event->type() == QEvent::KeyPress &&
                     (key == Qt::Key_Tab || key == Qt::Key_Backtab));
        }
        break;
    case QEvent::MouseButtonPress:
        // A click beside the rows leaves no row selected (and the click then shows the search
        // state).
        if (watched == ui->lv_Dev->viewport() &&
            !ui->lv_Dev->itemAt(static_cast<QMouseEvent *>(event)->position().toPoint()))
            ui->lv_Dev->clearSelection();
        break;
    case QEvent::MouseButtonRelease:
        // Select-to-read: the selection is made on the press, the read runs on the release.
        if (watched == ui->lv_Dev->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &TFrm_Main::lv_DevClick, Qt::QueuedConnection);
        break;
    case QEvent::MouseMove:
        if (watched == ui->lv_Dev->viewport())
            ui->lv_Dev->setFocus(Qt::MouseFocusReason);
        else if (watched == ui->redt_Hex->viewport())
            ui->redt_Hex->setFocus(Qt::MouseFocusReason);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrm_Main::ConnectHandlers() {
    // Every configuration button goes through btn_Click, told apart by its name.
    for (QPushButton *b : {ui->btn_Search, ui->btn_ComRead, uiZ1->btn_ComSet, uiZ2->btn_Z2ComSet,
                           uiZ1->btn_Z1Set, uiZ2->btn_Z2NetSet, uiZ3->btn_Z3NetSet})
        connect(b, &QPushButton::clicked, this, &TFrm_Main::btn_Click);
    // The serial path and the data debug window come with later issues.
    for (QWidget *w :
         {static_cast<QWidget *>(ui->btn_ComRead), static_cast<QWidget *>(uiZ1->btn_ComSet),
          static_cast<QWidget *>(uiZ2->btn_Z2ComSet), static_cast<QWidget *>(uiZ2->btnDataDebug)})
        w->setEnabled(false);

    connect(ui->lv_Dev, &QWidget::customContextMenuRequested, this, &TFrm_Main::pm_NetDevPopup);
    connect(ui->rzpgcntrl_Srch, &QTabWidget::currentChanged, this,
            [this] { rzpgcntrl_SrchTabClick(); });

    for (QComboBox *c : {uiZ2->cbb_AddrType, uiZ3->cbb_AddrTypeZ3})
        connect(c, &QComboBox::activated, this, [this, c] { cbb_AddrTypeChange(c); });
    connect(uiZ2->cbb_WorkMode0, &QComboBox::activated, this, [this] { ApplyWorkModeZ2(); });
    connect(uiZ3->cbb_WorkMode0Z3, &QComboBox::activated, this, [this] { ApplyWorkModeZ3(); });
    for (QComboBox *c :
         {uiZ1->cbb_BaudRate, uiZ2->cbb_BaudRate0, uiZ3->cbb_BaudRate0Z3, ui->cbbSoftBitRate})
        connect(c, &QComboBox::activated, this,
                [this, c](int index) { cbb_BaudRateClick(c, index); });
    for (QCheckBox *c : {uiZ2->rzchckbxHeartDtHex, uiZ2->rzchckbxRegDtHex})
        connect(c, &QCheckBox::clicked, this, [this, c] { rzchckbxHeartDtHexClick(c); });
    connect(uiZ2->chkCloud, &QCheckBox::clicked, this, [this] { chkCloudClick(); });
    ConnectPageHandlers();

    // Buttons that force a state (out of the user's reach).
    connect(ui->btn1, &QPushButton::clicked, this, [this] { SetUIState(UIStateZ1); });
    connect(ui->btn2, &QPushButton::clicked, this, [this] { SetUIState(UIStateZ2); });
    connect(ui->btn3, &QPushButton::clicked, this, [this] { SetUIState(UIStateZ3); });

    auto *langGroup = new QActionGroup(this);
    langGroup->addAction(ui->mni_Cn);
    langGroup->addAction(ui->mni_En);
    for (QAction *a : {ui->mni_Pswd, ui->mniExporDevs, ui->mni_Exit, ui->mni_Cn, ui->mni_En,
                       ui->mni_About, ui->mni_Hint, ui->mni_Up, ui->mni_WorkOrder})
        connect(a, &QAction::triggered, this, &TFrm_Main::mni_MenuClick);
    for (QAction *a : {ui->mniReadTheParam, ui->mni_OpenWeb, ui->mni_Restart, ui->mni_FirmwareUp,
                       ui->mni_Reset, ui->mni_CopyTheMac, ui->mni_CopeAllMac})
        connect(a, &QAction::triggered, this, &TFrm_Main::mni_LvRightMmClick);
    // The about window comes with a later issue; the Help menu shows only Real-time Help.
    ui->mni_About->setVisible(false);

    // A wheel turn anywhere over the Z2 page's scroll box reaches one of these widgets.
    uiZ2->ScrollBox1->installEventFilter(this);
    const QList<QWidget *> inside = uiZ2->ScrollBox1->findChildren<QWidget *>();
    for (QWidget *w : inside)
        w->installEventFilter(this);
    m_hints = new HintSwitch(this);
}
