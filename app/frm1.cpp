#include "app/frm1.h"

#include "app/frmsm.h"
#include "app/guiservices.h"
#include "app/objectnames.h"
#include "app/picturewidgets.h"
#include "app/scrollpage.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/showntext.h"
#include "settings/sourcesettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace Pw {

namespace {

// The preview box, in logical pixels (4:3, as most photos).
constexpr QSize kPreviewSize(256, 192);

QFrame *divider(const QString &name, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QStringList localPathsOf(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

Frm1::Frm1(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    buildControls();
    startUp();
}

Frm1::~Frm1() = default;

void Frm1::buildControls()
{
    setObjectName(QStringLiteral("Frm1"));
    setWindowIcon(m_wizard.icon());
    setAcceptDrops(true);

    PicL = Wizard::makeBanner(this);

    lblStep = named(new QLabel(tr("【第1/3步:选择欲修改尺寸的图片或照片】"), this), "lblStep");
    QFont heading = lblStep->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.15);
    lblStep->setFont(heading);

    Label2 = named(new QLabel(tr("文件夹："), this), "Label2");
    txtdir = named(new QLineEdit(this), "txtdir");
    // A folder dropped on the box should become the source, not text in it.
    txtdir->setAcceptDrops(false);
    Label2->setBuddy(txtdir);
    Command8 = named(new PictureButton(ButtonGlyph::Folder, 28, this), "Command8");
    Command8->setToolTip(tr("选择包含待处理图片的文件夹..."));
    Command8->setAccessibleName(Command8->toolTip());

    List1 = named(new QListWidget(this), "List1");
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List1->setUniformItemSizes(true);
    List1->setToolTip(tr("双击查看数码照片信息（如有）！"));
    // On a small screen the page scrolls rather than squeeze the list to a row or two.
    List1->setMinimumHeight(List1->fontMetrics().height() * 6 + 2 * List1->frameWidth());
    // An empty list says why it is empty, in the list's own area.
    lblListNote = named(new QLabel(List1->viewport()), "lblListNote");
    lblListNote->setWordWrap(true);
    lblListNote->setAlignment(Qt::AlignCenter);
    lblListNote->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblListNote->setEnabled(false); // drawn greyed, as a placeholder text
    auto *noteLayout = new QVBoxLayout(List1->viewport());
    noteLayout->addWidget(lblListNote);
    lblListNote->hide();

    Chkjpg = named(new QCheckBox(QStringLiteral("JPG"), this), "Chkjpg");
    Chkpng = named(new QCheckBox(QStringLiteral("PNG"), this), "Chkpng");
    Chkbmp = named(new QCheckBox(QStringLiteral("BMP"), this), "Chkbmp");
    Chkother = named(new QCheckBox(tr("其他格式"), this), "Chkother");
    Chkother->setToolTip(tr("HEIC、HEIF、AVIF、WebP、TIFF"));

    Op1 = named(new QRadioButton(tr("全选"), this), "Op1");
    Op2 = named(new QRadioButton(tr("全不选"), this), "Op2");
    Op3 = named(new QRadioButton(tr("反选"), this), "Op3");

    PicRefresh = named(new PictureButton(ButtonGlyph::Refresh, 22, this), "PicRefresh");
    PicRefresh->setToolTip(tr("刷新！"));
    PicRefresh->setAccessibleName(PicRefresh->toolTip());

    Line1 = divider(QStringLiteral("Line1"), this);
    Line2 = divider(QStringLiteral("Line2"), this);

    PicShow = named(new QLabel(this), "PicShow");
    PicShow->setFixedSize(kPreviewSize);
    PicShow->setAlignment(Qt::AlignCenter);

    // A long file name is shortened in the middle, long information lines (a camera model)
    // at their end, so that no file widens the window; the tooltips show them whole.
    lblInfo0 = named(new ElidedLabel(this), "lblInfo0");
    lblInfo1 = named(new ElidedLabel(this, Qt::ElideRight), "lblInfo1");
    lblInfo2 = named(new ElidedLabel(this, Qt::ElideRight), "lblInfo2");
    lblInfo2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    PicExif = named(new PictureButton(ButtonGlyph::Camera, 32, this), "PicExif");
    PicExif->setToolTip(tr("查看数码照片信息"));
    PicExif->setAccessibleName(PicExif->toolTip());

    Check1 = named(new QCheckBox(tr("处理后保留数码相机拍摄照片所记录的信息"), this), "Check1");

    Command1 = named(new QPushButton(tr("下一步(&N)"), this), "Command1");
    Command1->setDefault(false);

    // Layout: the banner on the left; folder, list, switches, preview and Next on the right.
    // With an empty list the preview part hides and the list takes its room. Everything but
    // the Next row scrolls when the screen is too small for it.
    auto *outer = new QHBoxLayout(this);
    outer->addWidget(PicL);
    auto *right = new QVBoxLayout;
    outer->addLayout(right, 1);
    auto *page = new QWidget(this);
    auto *content = new QVBoxLayout(page);
    content->setContentsMargins(0, 0, 0, 0);
    right->addWidget(new ScrollPage(page, this), 1);
    content->addWidget(lblStep);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(Label2);
    folderRow->addWidget(txtdir, 1);
    folderRow->addWidget(Command8);
    content->addLayout(folderRow);

    content->addWidget(List1, 1);

    auto *switchRow = new QHBoxLayout;
    switchRow->addWidget(Chkjpg);
    switchRow->addWidget(Chkpng);
    switchRow->addWidget(Chkbmp);
    switchRow->addWidget(Chkother);
    switchRow->addStretch(1);
    switchRow->addWidget(Op1);
    switchRow->addWidget(Op2);
    switchRow->addWidget(Op3);
    switchRow->addWidget(PicRefresh);
    content->addLayout(switchRow);

    content->addWidget(Line1);
    auto *previewRow = new QHBoxLayout;
    previewRow->addWidget(PicShow, 0, Qt::AlignTop);
    auto *info = new QVBoxLayout;
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(lblInfo0, 1);
    titleRow->addWidget(PicExif, 0, Qt::AlignTop);
    info->addLayout(titleRow);
    info->addWidget(lblInfo1);
    info->addWidget(lblInfo2);
    info->addStretch(1);
    previewRow->addLayout(info, 1);
    content->addLayout(previewRow);
    content->addWidget(Line2);
    content->addWidget(Check1);

    auto *bottomRow = new QHBoxLayout;
    bottomRow->addStretch(1);
    bottomRow->addWidget(Command1);
    right->addLayout(bottomRow);

    connect(Command8, &QAbstractButton::clicked, this, &Frm1::chooseFolder);
    connect(txtdir, &QLineEdit::returnPressed, this, &Frm1::typedFolder);
    for (QCheckBox *box : {Chkjpg, Chkpng, Chkbmp, Chkother})
        connect(box, &QCheckBox::toggled, this, &Frm1::typeSwitched);
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_bulk)
            return;
        m_invertedJustNow = false;
        showBulkState();
    });
    connect(Op1, &QRadioButton::clicked, this, &Frm1::selectAll);
    connect(Op2, &QRadioButton::clicked, this, &Frm1::selectNone);
    connect(Op3, &QRadioButton::clicked, this, &Frm1::invertSelection);
    connect(PicRefresh, &QAbstractButton::clicked, this, &Frm1::refreshFolder);
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        if (m_loaded) {
            rememberOpenedSource();
            StoreKeepCamera(on);
        }
    });
    connect(Command1, &QPushButton::clicked, this, &Frm1::next);
    connect(PicExif, &QAbstractButton::clicked, this, &Frm1::showCameraInfo);
    // A click previews the entry even when it deselects it; moving with the keys previews too.
    connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (!m_bulk)
            showPreview(List1->row(item), false);
    });
    connect(List1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_bulk && row >= 0)
            showPreview(row, false);
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { showCameraInfo(); });

    // Room for the list and the preview, but never larger than the screen.
    const QFontMetrics metrics(font());
    QSize size(std::max(760, metrics.horizontalAdvance(QLatin1Char('M')) * 60),
               std::max(600, metrics.height() * 30));
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    resize(size.expandedTo(minimumSizeHint()));
}

// Start-up: title, cleared information, the remembered choices, the listing (the demo folder
// when the remembered one is empty, missing or holds no picture), everything selected and the
// last file previewed. Only then do the type switches act.
void Frm1::startUp()
{
    m_loaded = false;
    setWindowTitle(Wizard::title());
    for (QLabel *label : {lblInfo0, lblInfo1, lblInfo2})
        label->clear();

    const SourceChoices choices = LoadSourceChoices();
    m_background = ColourFromBgr(choices.backgroundColour);
    paintBackdrop();
    Check1->setChecked(choices.keepCamera);
    Chkjpg->setChecked(choices.jpg);
    Chkpng->setChecked(choices.png);
    Chkbmp->setChecked(choices.bmp);
    Chkother->setChecked(choices.other);
    m_listedTypes = choices.listedTypes();

    m_folder = choices.folder;
    txtdir->setText(m_folder);
    txtdir->setToolTip(m_folder);
    fillFileList();
    // The captions count only when the remembered folder (or, when it is missing, the demo
    // folder standing in for it) gave the pictures.
    const QString wanted = choices.rememberedFolder;
    const bool counted = !wanted.isEmpty() && List1->count() > 0
                         && (!QFileInfo(wanted).isDir() || m_folder == WithTrailingSlash(wanted));
    if (counted)
        setCountedCaptions();
    updateListLayout();

    setBulkChoicesVisible(List1->count() > 0);
    selectAll();
    m_loaded = true;
}

PictureTypes Frm1::typeMaskOfSwitches() const
{
    PictureTypes types;
    types.setFlag(PictureType::Jpg, Chkjpg->isChecked());
    types.setFlag(PictureType::Png, Chkpng->isChecked());
    types.setFlag(PictureType::Bmp, Chkbmp->isChecked());
    if (Chkother->isChecked())
        types |= kOtherPictureTypes;
    return types;
}

// FillFileList: the list shows what the listing of m_folder by the current pattern holds.
void Frm1::fillFileList()
{
    const QStringList names = ListPictures(m_folder, m_listedTypes);
    const QScopedValueRollback bulk(m_bulk, true);
    List1->clear();
    for (const QString &name : names) {
        // A name with a control character is shown escaped and keeps its real form beside.
        const QString shown = ShownName(name);
        auto *item = new QListWidgetItem(shown);
        if (shown != name)
            item->setData(Qt::UserRole, name);
        List1->addItem(item);
    }
}

QString Frm1::nameAt(int row) const
{
    const QListWidgetItem *item = List1->item(row);
    const QVariant real = item->data(Qt::UserRole);
    return real.isValid() ? real.toString() : item->text();
}

void Frm1::setCountedCaptions()
{
    const QString n = QString::number(List1->count());
    Op1->setText(tr("全选(") + n + u')');
    Op2->setText(tr("全不选(") + n + u')');
}

void Frm1::setBulkChoicesVisible(bool visible)
{
    for (QRadioButton *choice : {Op1, Op2, Op3})
        choice->setVisible(visible);
}

// With an empty list the preview, its information, the dividers and the keep-camera switch
// hide and the list takes their room.
void Frm1::updateListLayout()
{
    const bool filled = List1->count() > 0;
    for (QWidget *widget : std::initializer_list<QWidget *>{lblInfo0, lblInfo1, lblInfo2, Line1,
                                                            Line2, PicExif, PicShow, Check1})
        widget->setVisible(filled);
    if (!filled)
        lblListNote->setText(EmptyListNote(QFileInfo(m_folder).isDir(), m_listedTypes));
    lblListNote->setVisible(!filled);
    showBulkState();
}

// The bulk choices show what the list holds (all, none, the inverted selection), not the
// last one clicked.
void Frm1::showBulkState()
{
    const int selected = int(List1->selectionModel()->selectedRows().size());
    const BulkChoice state = BulkChoiceOf(selected, List1->count(), m_invertedJustNow);
    for (QRadioButton *choice : {Op1, Op2, Op3})
        choice->setAutoExclusive(false);
    Op1->setChecked(state == BulkChoice::All);
    Op2->setChecked(state == BulkChoice::Nothing);
    Op3->setChecked(state == BulkChoice::Inverted);
    for (QRadioButton *choice : {Op1, Op2, Op3})
        choice->setAutoExclusive(true);
}

void Frm1::chooseFolder()
{
    const QString chosen = m_wizard.services().chooseFolder(this, FolderDialogStart(txtdir->text()),
                                                            tr("请选择包含待处理图片的文件夹吧："));
    if (chosen.isEmpty())
        return;
    takeFolder(chosen);
}

// A folder the user chose (dialog, typed, dropped, or the report's result folder) becomes the
// source: remembered, shown, listed, and all of it selected (or only `only` when given).
void Frm1::takeFolder(const QString &folder, const QStringList &only, bool remember)
{
    if (remember) {
        rememberOpenedSource();
        StoreSourceFolder(WithTrailingSlash(folder));
    }
    m_openedUnstored = !remember;
    m_folder = WithTrailingSlash(folder);
    txtdir->setText(m_folder);
    txtdir->setToolTip(m_folder);
    fillFileList();
    if (List1->count() == 0) {
        setBulkChoicesVisible(false);
        clearPreview();
    } else {
        setBulkChoicesVisible(true);
        setCountedCaptions();
        selectAll();
        if (!only.isEmpty()) {
            SourceSelection wanted = selection();
            wanted.select(only);
            const QScopedValueRollback bulk(m_bulk, true);
            List1->clearSelection();
            int last = -1;
            for (int row = 0; row < wanted.names.size(); ++row) {
                if (wanted.selected.at(row)) {
                    List1->item(row)->setSelected(true);
                    last = row;
                }
            }
            if (last >= 0) {
                List1->setCurrentRow(last, QItemSelectionModel::NoUpdate);
                showPreview(last);
            }
        }
    }
    updateListLayout();
}

void Frm1::typedFolder()
{
    const QString folder = TypedFolder(txtdir->text());
    if (folder.isEmpty()) {
        m_wizard.services().warn(this, ProductName(), tr("请先选择包含至少一个图片的文件夹！"));
        return;
    }
    if (!QFileInfo(folder).isDir()) {
        showMissingFolder(folder);
        return;
    }
    takeFolder(folder);
}

// A typed folder that does not exist: said so, and the list shows that nothing comes from it
// (the old folder's files would otherwise pass for its content). It is not remembered.
void Frm1::showMissingFolder(const QString &folder)
{
    m_wizard.services().warn(this, ProductName(), MissingFolderMessage(folder));
    m_folder = folder;
    {
        const QScopedValueRollback bulk(m_bulk, true);
        List1->clear();
    }
    setBulkChoicesVisible(false);
    clearPreview();
    updateListLayout();
}

void Frm1::typeSwitched()
{
    if (!m_loaded)
        return;
    rememberOpenedSource();
    m_listedTypes = typeMaskOfSwitches();
    fillFileList();
    if (List1->count() == 0)
        clearPreview();
    else
        selectAll();
    StorePictureTypes(Chkjpg->isChecked(), Chkpng->isChecked(), Chkbmp->isChecked());
    StoreOtherPictureTypes(Chkother->isChecked());
    setCountedCaptions();
    setBulkChoicesVisible(List1->count() > 0);
    updateListLayout();
}

void Frm1::selectAll()
{
    const int count = List1->count();
    if (count == 0)
        return;
    const QScopedValueRollback bulk(m_bulk, true);
    List1->selectAll();
    m_invertedJustNow = false;
    m_selectedCount = count;
    List1->setCurrentRow(count - 1, QItemSelectionModel::NoUpdate);
    showPreview(count - 1);
    updateListLayout();
}

void Frm1::selectNone()
{
    if (List1->count() == 0)
        return;
    const QScopedValueRollback bulk(m_bulk, true);
    List1->clearSelection();
    m_invertedJustNow = false;
    m_selectedCount = 0;
    updateListLayout();
    clearPreview();
    lblInfo0->setText(SelectNoneHint());
}

void Frm1::invertSelection()
{
    const int count = List1->count();
    if (count == 0)
        return;
    const QScopedValueRollback bulk(m_bulk, true);
    QAbstractItemModel *model = List1->model();
    const QItemSelection all(model->index(0, 0), model->index(count - 1, 0));
    List1->selectionModel()->select(all, QItemSelectionModel::Toggle);
    m_invertedJustNow = true;
    if (List1->selectionModel()->hasSelection()) {
        List1->setCurrentRow(count - 1, QItemSelectionModel::NoUpdate);
        showPreview(count - 1);
    }
    updateListLayout();
}

void Frm1::refreshFolder()
{
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir()) {
        m_wizard.services().warn(this, ProductName(),
                                 tr("请先选择包含至少一个图片的文件夹！") + u'\n'
                                         + tr("当此文件夹中图片发生变化时再刷新！"));
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    fillFileList();
    if (List1->count() == 0)
        clearPreview();
    else
        selectAll();
    setCountedCaptions();
    setBulkChoicesVisible(List1->count() > 0);
    updateListLayout();
}

void Frm1::refresh()
{
    refreshFolder();
}

void Frm1::useFolderAsSource(const QString &folder)
{
    takeFolder(folder);
}

void Frm1::next()
{
    txtdir->setText(txtdir->text().trimmed());
    const QString folder = TypedFolder(txtdir->text());
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || List1->count() == 0) {
        chooseFolder();
        return;
    }
    // A folder typed without Enter is not what the list shows: list it first, so that the
    // run never joins names of one folder to another.
    if (folder != m_folder) {
        takeFolder(folder);
        return;
    }
    m_selectedCount = int(List1->selectionModel()->selectedRows().size());
    if (m_selectedCount == 0) {
        m_wizard.services().warn(this, ProductName(), NothingSelectedMessage());
        return;
    }
    m_wizard.showStep(2);
}

void Frm1::showCameraInfo()
{
    int row = List1->currentRow();
    if (row < 0 && !m_previewPath.isEmpty())
        row = List1->count() - 1;
    if (row < 0 || row >= List1->count())
        return;
    FrmSM::showFor(this, m_folder, nameAt(row));
}

SourceSelection Frm1::selection() const
{
    SourceSelection selection;
    selection.folder = m_folder;
    const int count = List1->count();
    selection.names.reserve(count);
    for (int row = 0; row < count; ++row)
        selection.names << nameAt(row);
    selection.selected = QList<bool>(count, false);
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    for (const QModelIndex &index : rows)
        selection.selected[index.row()] = true;
    selection.keepCamera = Check1->isChecked();
    return selection;
}

QString Frm1::previewedFile() const
{
    return m_previewPath;
}

QString Frm1::pathOf(int row) const
{
    return WithTrailingSlash(m_folder) + nameAt(row);
}

// The picture is decoded on a worker; clicks that come faster than it decodes replace the
// waiting request, so the last click wins and the window never waits.
void Frm1::showPreview(int row, bool again)
{
    if (row < 0 || row >= List1->count())
        return;
    const QString path = pathOf(row);
    // A click moves the current row and then reports the click: one decode is enough.
    if (!again && path == m_previewPath)
        return;
    m_previewPath = path;
    emit previewChanged(path);
    const QSize canvas = PicShow->size() * devicePixelRatioF();
    m_previews.request(
            [path, canvas, background = m_background] {
                return LoadPreview(path, canvas, background);
            },
            [this](const Preview &preview) { previewLoaded(preview); });
}

void Frm1::previewLoaded(const Preview &preview)
{
    QPixmap pixmap = QPixmap::fromImage(preview.image);
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    if (pixmap.isNull())
        paintBackdrop();
    else
        PicShow->setPixmap(pixmap);
    if (!preview.problem.isEmpty())
        writeOnPreview(tr("无法读取") + u'\n' + preview.problem);
    PicShow->setProperty("problem", preview.problem);
    lblInfo0->setText(preview.title);
    lblInfo0->setToolTip(preview.title);
    lblInfo1->setText(preview.size);
    lblInfo1->setToolTip(preview.size);
    lblInfo2->setText(preview.times);
    lblInfo2->setToolTip(preview.times);
    emit previewShown(preview.path);
}

void Frm1::clearPreview()
{
    m_previews.cancel();
    paintBackdrop();
    for (QLabel *label : {lblInfo0, lblInfo1, lblInfo2}) {
        label->clear();
        label->setToolTip(QString());
    }
    PicShow->setProperty("problem", QString());
    if (!m_previewPath.isEmpty()) {
        m_previewPath.clear();
        emit previewChanged(QString());
    }
}

// Why a file shows no picture, written over the box in a colour that stands out from the
// background.
void Frm1::writeOnPreview(const QString &text)
{
    QPixmap pixmap = PicShow->pixmap();
    if (pixmap.isNull())
        return;
    QPainter painter(&pixmap);
    painter.setPen(m_background.lightnessF() > 0.5 ? Qt::black : Qt::white);
    painter.setFont(font());
    const QRect area(QPoint(0, 0), pixmap.deviceIndependentSize().toSize());
    painter.drawText(area.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.end();
    PicShow->setPixmap(pixmap);
}

// The empty preview box shows the background colour.
void Frm1::paintBackdrop()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap backdrop(PicShow->size() * ratio);
    backdrop.setDevicePixelRatio(ratio);
    backdrop.fill(m_background);
    PicShow->setPixmap(backdrop);
}

void Frm1::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_wizard.quit();
}

void Frm1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        updateListLayout();
}

void Frm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateListLayout();
}

void Frm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!ResolveDrop(localPathsOf(event->mimeData())).folder.isEmpty())
        event->acceptProposedAction();
}

// A folder, or pictures of one folder, dropped on step 1 become the source; dropped pictures
// are the ones selected, and their types are switched on so that they are listed.
void Frm1::dropEvent(QDropEvent *event)
{
    const DroppedSource dropped = ResolveDrop(localPathsOf(event->mimeData()));
    if (dropped.folder.isEmpty())
        return;
    event->acceptProposedAction();
    takeDropped(dropped, true);
}

void Frm1::openPaths(const QStringList &paths)
{
    const OpenedSource opened = ResolveOpened(paths);
    if (!opened.source.folder.isEmpty())
        takeDropped(opened.source, false);
    if (opened.leftOut > 0) {
        const QString text
                = opened.source.folder.isEmpty()
                          ? tr("所给的 %1 项都无法打开：不存在，或不是图片或文件夹。")
                                    .arg(paths.size())
                          : tr("只打开了“%1”中的图片；另有 %2 项不在这个文件夹中或不是图片，"
                               "已略去。")
                                    .arg(opened.source.folder)
                                    .arg(opened.leftOut);
        m_wizard.services().inform(this, ProductName(), text);
    }
}

// Opened from the command line, the folder and the switched-on types wait for the first choice
// the user makes here: a file manager's "Open with" is not a choice to remember.
void Frm1::rememberOpenedSource()
{
    if (!m_openedUnstored)
        return;
    m_openedUnstored = false;
    StoreSourceFolder(m_folder);
    StorePictureTypes(Chkjpg->isChecked(), Chkpng->isChecked(), Chkbmp->isChecked());
    StoreOtherPictureTypes(Chkother->isChecked());
}

// The dropped pictures' types are switched on so that they are listed, then the folder taken.
void Frm1::takeDropped(const DroppedSource &dropped, bool remember)
{
    PictureTypes types;
    for (const QString &name : dropped.names)
        types |= ParsePictureTypes(QFileInfo(name).suffix());
    if ((types & ~m_listedTypes) != PictureTypes()) {
        // Switch the missing types on as a click would, storing them, without listing twice.
        const QScopedValueRollback quiet(m_loaded, false);
        if (types.testFlag(PictureType::Jpg))
            Chkjpg->setChecked(true);
        if (types.testFlag(PictureType::Png))
            Chkpng->setChecked(true);
        if (types.testFlag(PictureType::Bmp))
            Chkbmp->setChecked(true);
        if (types & kOtherPictureTypes)
            Chkother->setChecked(true);
        m_listedTypes = typeMaskOfSwitches();
        if (remember) {
            StorePictureTypes(Chkjpg->isChecked(), Chkpng->isChecked(), Chkbmp->isChecked());
            StoreOtherPictureTypes(Chkother->isChecked());
        }
    }
    takeFolder(dropped.folder, dropped.names, remember);
}

} // namespace Pw
