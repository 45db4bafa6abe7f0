#include "animation/FullView.h"

#include "ui/PanelWidgets.h"

#include "animation/AnimationHost.h"
#include "animation/BellAnimation.h"
#include "animation/FullScoreImage.h"
#include "animation/FullScoreLayout.h"
#include "animation/FullViewLayout.h"
#include "animation/FullViewTitle.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/Ensemble.h"
#include "score/ScoreCursorBar.h"
#include "ui/ControlHints.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCursorHeight = 6;
// The style selector's width when its items fit in it.
constexpr int kStyleSelectorWidth = 129;

// Copies the items and the choice of one list into another.
void mirror(const QComboBox* from, QComboBox* to) {
    QStringList items;
    for (int i = 0; i < from->count(); ++i) {
        items << from->itemText(i);
    }
    to->clear();
    to->addItems(items);
    to->setCurrentIndex(from->currentIndex());
}

} // namespace

FullView::FullView(QWidget* area, AnimationHost& host, BellAnimation& animation)
    : QObject(area), m_host(host), m_animation(animation) {
    buildPanel(area);
    // Behind the usual view until the view is entered.
    m_panel->setGeometry(area->rect());
    m_panel->lower();
    m_panel->hide();
    createTitles();
    m_pictures->installEventFilter(this);
    m_tools->installEventFilter(this);
    connectControls();
    m_animation.setFullPicturesPanel(m_pictures);
}

void FullView::buildPanel(QWidget* area) {
    m_panel = makePanel(QStringLiteral("pnlFullView"), area);
    m_panel->setAutoFillBackground(true);
    auto* v = new QVBoxLayout(m_panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    // The tool row: the group selectors from big to small, as the score
    // columns below them, then the common list and the view controls.
    m_tools = makePanel(QStringLiteral("pnlPTools"), m_panel, QFrame::StyledPanel);
    m_tools->setFixedHeight(31);
    auto makeCombo = [this](const QString& name, int left, int width) {
        auto* combo = new QComboBox(m_tools);
        combo->setObjectName(name);
        combo->setGeometry(left, 4, width, 23);
        return combo;
    };
    m_groupSelectors[groupIndex(BellGroup::Big)] = makeCombo(QStringLiteral("cbCustomBells3"), 8, 129);
    m_groupSelectors[groupIndex(BellGroup::Middle)] = makeCombo(QStringLiteral("cbCustomBells2"), 152, 129);
    m_groupSelectors[groupIndex(BellGroup::Small)] = makeCombo(QStringLiteral("cbCustomBells1"), 296, 129);
    m_common = makeCombo(QStringLiteral("cbFullCommon"), 432, 169);
    for (int group = 0; group < kGroupCount; ++group) {
        m_groupSelectors[static_cast<std::size_t>(group)]->setToolTip(
            hints::kGroupRinging[static_cast<std::size_t>(group)]);
    }
    m_common->setToolTip(hints::kCommonRinging);
    m_usualView = makeToolButton(QStringLiteral("btnUsualView"), QStringLiteral("Обычный вид"),
                                 QStyle::SP_TitleBarNormalButton, m_tools);
    m_usualView->setGeometry(606, 4, 23, 22);
    m_style = makeCombo(QStringLiteral("cbFullView"), 640, kStyleSelectorWidth);
    m_style->setToolTip(hints::kAnimationStyle);
    // Wide enough for its longer item once filled ("Схематический вид").
    m_style->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    v->addWidget(m_tools);

    auto* body = new QWidget(m_panel);
    auto* h = new QHBoxLayout(body);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    QFrame* notes = makePanel(QStringLiteral("pnlNotes"), body);
    notes->setFixedWidth(433);
    auto* columns = new QHBoxLayout(notes);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    auto addColumn = [&](const QString& name, int width) {
        QFrame* p = makePanel(name, notes, QFrame::StyledPanel);
        p->setFixedWidth(width);
        columns->addWidget(p);
        return p;
    };
    // From the left: big, middle, small, each a title and a score column.
    const auto big = static_cast<std::size_t>(groupIndex(BellGroup::Big));
    const auto middle = static_cast<std::size_t>(groupIndex(BellGroup::Middle));
    const auto small = static_cast<std::size_t>(groupIndex(BellGroup::Small));
    m_titlePanels[big] = addColumn(QStringLiteral("pnlBigBellsTitle"), 23);
    m_notesPanels[big] = addColumn(QStringLiteral("pnlBellNotes1"), 120);
    m_titlePanels[middle] = addColumn(QStringLiteral("pnlMiddleBellsTitle"), 23);
    m_notesPanels[middle] = addColumn(QStringLiteral("pnlBellNotes2"), 120);
    m_titlePanels[small] = addColumn(QStringLiteral("pnlSmallBellsTitle"), 23);
    m_notesPanels[small] = addColumn(QStringLiteral("pnlBellNotes3"), 120);
    h->addWidget(notes);
    m_pictures = makePanel(QStringLiteral("pnlImages"), body, QFrame::StyledPanel);
    h->addWidget(m_pictures, 1);
    v->addWidget(body, 1);
}

void FullView::createTitles() {
    const QString titles[] = {QStringLiteral("Малые колокола"), QStringLiteral("Средние колокола"),
                              QStringLiteral("Большие колокола")};
    const char* names[] = {"SBLabel", "MBLabel", "BBLabel"};
    for (int group = 0; group < kGroupCount; ++group) {
        QFrame* panel = m_titlePanels[static_cast<std::size_t>(group)];
        auto* label = new FullViewTitle(titles[group], panel);
        label->setObjectName(QLatin1String(names[group]));
        m_titles[static_cast<std::size_t>(group)] = label;
        panel->installEventFilter(this);
    }
}

void FullView::connectControls() {
    auto on = [this](QComboBox* combo, void (FullView::*handler)()) {
        connect(combo, &QComboBox::activated, this, [this, handler] {
            guarded(lcAnimation, "full view selector", [=, this] { (this->*handler)(); });
        });
    };
    on(m_style, &FullView::cbFullViewChange);
    on(groupSelector(BellGroup::Small), &FullView::cbCustomBells1Change);
    on(groupSelector(BellGroup::Middle), &FullView::cbCustomBells2Change);
    on(groupSelector(BellGroup::Big), &FullView::cbCustomBells3Change);
    on(m_common, &FullView::cbFullCommonChange);
    connect(m_usualView, &QToolButton::clicked, this,
            [this] { guarded(lcAnimation, "usual view button", [this] { btnUsualViewClick(); }); });
}

QWidget* FullView::panel() const {
    return m_panel;
}

QComboBox* FullView::groupSelector(BellGroup group) const {
    return m_groupSelectors[static_cast<std::size_t>(groupIndex(group))];
}

QFrame* FullView::notesPanelOf(int group) const {
    return m_notesPanels[static_cast<std::size_t>(group)];
}

FullScoreImage* FullView::scoreImage(int group) const {
    return group >= 0 && group < kGroupCount ? m_images[static_cast<std::size_t>(group)] : nullptr;
}

QFrame* FullView::cursorBar(int group) const {
    return group >= 0 && group < kGroupCount ? m_cursors[static_cast<std::size_t>(group)] : nullptr;
}

FullViewTitle* FullView::title(int group) const {
    return group >= 0 && group < kGroupCount ? m_titles[static_cast<std::size_t>(group)] : nullptr;
}

QColor FullView::groupColour(int group) {
    static const QColor colours[] = {QColor(0, 0, 128), QColor(0, 128, 0), QColor(128, 0, 0)};
    return colours[group];
}

void FullView::CreateFullScoreImages() {
    if (m_images[0]) {
        return;
    }
    // In the panels' order, big, middle, small.
    for (int group = kGroupCount - 1; group >= 0; --group) {
        QFrame* panel = notesPanelOf(group);
        auto* image = new FullScoreImage(panel);
        image->setObjectName(QStringLiteral("imgFullScore%1").arg(group));
        image->setGeometry(panel->contentsRect());
        image->show();
        auto* bar = new ScoreCursorBar(QColor(0, 0, 255), panel);
        bar->setObjectName(QStringLiteral("pnlFullCursor%1").arg(group));
        bar->setSeeThrough(m_readable);
        const QPoint origin = panel->contentsRect().topLeft();
        bar->setGeometry(origin.x() + 2, origin.y() + 2, panel->width() - 4, kCursorHeight);
        bar->show();
        m_images[static_cast<std::size_t>(group)] = image;
        m_cursors[static_cast<std::size_t>(group)] = bar;
    }
    // The last notes panel the layout resizes: all three have their size then.
    notesPanelOf(groupIndex(BellGroup::Small))->installEventFilter(this);
}

bool FullView::isActive() const {
    return m_animation.isFullView();
}

void FullView::fitScoreImages() {
    for (int group = 0; group < kGroupCount; ++group) {
        if (FullScoreImage* image = m_images[static_cast<std::size_t>(group)]) {
            image->setGeometry(notesPanelOf(group)->contentsRect());
        }
    }
}

void FullView::drawCurrentPage() {
    guarded(lcAnimation, "full view score", [this] { DrawFullScore(m_host.currentPage()); });
}

void FullView::placeCurrentCursor() {
    guarded(lcAnimation, "full view cursor", [this] { PlaceFullScoreCursor(m_host.currentColumn()); });
}

void FullView::EnterFullView() {
    // 1-2: the flag, then the style of the usual view, at rest.
    m_animation.setFullView(true);
    m_style->clear();
    m_style->addItems({QStringLiteral("Общий вид"), QStringLiteral("Схематический вид")});
    m_style->setCurrentIndex(m_host.usualStyle());
    m_style->resize(std::max(kStyleSelectorWidth, m_style->sizeHint().width()), m_style->height());
    cbFullViewChange();
    // 3: the tool bar shown, the bell strip hidden, the full view in front
    // and laid out before anything is drawn on it.
    m_host.prepareFullView();
    m_panel->show();
    m_panel->raise();
    if (QLayout* layout = m_panel->layout()) {
        layout->activate();
    }
    // 4-5: the selectors' lists and choices.
    for (int group = 0; group < kGroupCount; ++group) {
        if (const QComboBox* selector = m_host.groupSelector(groupAt(group))) {
            mirror(selector, groupSelector(groupAt(group)));
        }
    }
    if (const QComboBox* common = m_host.commonSelector()) {
        mirror(common, m_common);
    }
    pnlPToolsResize();
    titleResize();
    m_animation.LayoutFullImages();
    // 6
    fitScoreImages();
    drawCurrentPage();
    m_host.ResetBellImages();
    placeCurrentCursor();
}

void FullView::LeaveFullView() {
    m_animation.setFullView(false);
    if (m_style->currentIndex() >= 0) {
        m_host.setUsualStyle(m_style->currentIndex());
    }
    m_animation.cbViewChange();
    m_panel->lower();
    m_panel->hide();
    m_host.showUsualView();
    m_host.redrawScore();
    // The choices only: no ringing is loaded again.
    for (int group = 0; group < kGroupCount; ++group) {
        QComboBox* selector = m_host.groupSelector(groupAt(group));
        const int index = groupSelector(groupAt(group))->currentIndex();
        if (selector && index >= 0 && index < selector->count()) {
            selector->setCurrentIndex(index);
        }
    }
}

void FullView::DrawFullScore(int page) {
    if (!m_images[0]) {
        return;
    }
    const Ensemble& ensemble = m_host.ensemble();
    fullscore::NotesInput input;
    input.page = page;
    for (int group = 0; group < kGroupCount; ++group) {
        const auto g = static_cast<std::size_t>(group);
        input.scores[g] = m_host.groupScore(groupAt(group));
        input.sizes[g] = m_images[g]->size();
        input.bellCounts[g] = ensemble.groupCount(kSmallGroup + group);
    }
    // A token whose position is not a digit ends the page's dots quietly.
    const fullscore::Notes notes = fullscore::notesOf(input);
    const QColor face = m_panel->window()->palette().color(QPalette::Button);
    for (int group = kGroupCount - 1; group >= 0; --group) {
        const auto g = static_cast<std::size_t>(group);
        m_images[g]->draw(fullscore::gridOf(input.sizes[g], input.bellCounts[g]), notes.dots[g],
                          groupColour(group), face);
    }
}

void FullView::PlaceFullScoreCursor(int column) {
    if (!m_cursors[0]) {
        return;
    }
    // Every column as tall as the big group's.
    const QRect client = notesPanelOf(groupIndex(BellGroup::Big))->contentsRect();
    const int top = fullScoreCursorTop(column, client.height());
    for (int group = 0; group < kGroupCount; ++group) {
        QFrame* bar = m_cursors[static_cast<std::size_t>(group)];
        const QRect panel = notesPanelOf(group)->contentsRect();
        if (m_readable) {
            const QRect box = fullscore::readableCursorBox(column, QSize(panel.width(), client.height()),
                                                           ScoreCursorBar::kOutline);
            bar->setGeometry(box.translated(panel.topLeft()));
        } else {
            bar->move(panel.left() + 2, panel.top() + top);
        }
    }
}

void FullView::setReadable(bool readable) {
    m_readable = readable;
    for (QFrame* bar : m_cursors) {
        if (auto* cursor = qobject_cast<ScoreCursorBar*>(bar)) {
            cursor->setSeeThrough(readable);
            if (!readable) {
                cursor->resize(cursor->width(), kCursorHeight);
            }
        }
    }
    if (m_cursors[0] && isActive()) {
        placeCurrentCursor();
    }
}

void FullView::nFullViewClick(bool checked) {
    if (checked) {
        EnterFullView();
    } else {
        LeaveFullView();
    }
}

void FullView::btnFullViewClick() {
    m_host.setFullViewChecked(true);
    EnterFullView();
}

void FullView::btnUsualViewClick() {
    m_host.setFullViewChecked(false);
    LeaveFullView();
}

void FullView::cbFullViewChange() {
    // The bottom row's selector stays visible and shows the same style.
    if (isActive() && m_style->currentIndex() >= 0) {
        m_host.setUsualStyle(m_style->currentIndex());
    }
    m_animation.selectStyle(m_style->currentIndex());
}

void FullView::usualStyleChosen(int style) {
    if (isActive() && style >= 0 && style < m_style->count()) {
        m_style->setCurrentIndex(style);
    }
}

void FullView::cbCustomBellsChange(BellGroup group) {
    QComboBox* selector = m_host.groupSelector(group);
    if (!selector) {
        return;
    }
    const int index = groupSelector(group)->currentIndex();
    if (index >= 0 && index < selector->count()) {
        selector->setCurrentIndex(index);
    }
    m_host.groupRingingChosen(group);
}

void FullView::cbFullCommonChange() {
    QComboBox* common = m_host.commonSelector();
    if (!common) {
        return;
    }
    const int index = m_common->currentIndex();
    common->setCurrentIndex(index);
    if (index > 0) {
        for (QComboBox* mirrorSelector : m_groupSelectors) {
            if (mirrorSelector->count() > 0) {
                mirrorSelector->setCurrentIndex(0);
            }
        }
    }
    m_host.commonRingingChosen();
    // The list may have refused or reset the choice.
    m_common->setCurrentIndex(common->currentIndex());
}

void FullView::followCommonChoice(int index) {
    if (index < m_common->count()) {
        m_common->setCurrentIndex(index);
    }
}

void FullView::pnlPToolsResize() {
    m_style->move(m_tools->width() - m_style->width() - fullview::kStyleSelectorRightMargin, m_style->y());
    const QComboBox* first = groupSelector(BellGroup::Small);
    const fullview::ToolRow row = fullview::toolRow(m_style->x(), first->x(), first->width(), m_common->x());
    m_common->resize(row.commonWidth, m_common->height());
    m_usualView->move(row.usualViewLeft, m_usualView->y());
}

void FullView::titleResize() {
    for (FullViewTitle* label : m_titles) {
        const QWidget* panel = label->parentWidget();
        const QRect client = panel->contentsRect();
        label->move(client.left() + (client.width() - label->width()) / 2,
                    client.top() + fullview::titleTop(client.height(), label->height()));
    }
}

bool FullView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Resize) {
        return QObject::eventFilter(watched, event);
    }
    guarded(lcAnimation, "full view layout", [this, watched] {
        if (watched == m_pictures) {
            m_animation.LayoutFullImages();
        } else if (watched == m_tools) {
            pnlPToolsResize();
        } else if (watched == notesPanelOf(groupIndex(BellGroup::Small))) {
            // The full view's resize reaches the score here, once its
            // layout has given the notes panels their new height.
            fitScoreImages();
            if (isActive()) {
                drawCurrentPage();
                placeCurrentCursor();
            }
        } else if (watched != m_panel) {
            titleResize();
        }
    });
    return QObject::eventFilter(watched, event);
}
