#include "animation/FullView.h"

#include "app/TfrmMain.h"
#include "animation/BellAnimation.h"
#include "animation/FullScoreImage.h"
#include "animation/FullScoreLayout.h"
#include "animation/FullViewLayout.h"
#include "animation/FullViewTitle.h"

#include <QEvent>
#include <QLayout>

namespace {

constexpr int kCursorHeight = 6;

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

FullView::FullView(TfrmMain& window, BellAnimation& animation)
    : QObject(&window), m_window(window), m_animation(animation) {
    const QString titles[] = {QStringLiteral("Малые колокола"), QStringLiteral("Средние колокола"),
                              QStringLiteral("Большие колокола")};
    const char* names[] = {"SBLabel", "MBLabel", "BBLabel"};
    QFrame* panels[] = {m_window.pnlSmallBellsTitle, m_window.pnlMiddleBellsTitle, m_window.pnlBigBellsTitle};
    for (int group = 0; group < 3; ++group) {
        auto* label = new FullViewTitle(titles[group], panels[group]);
        label->setObjectName(QLatin1String(names[group]));
        m_titles[static_cast<std::size_t>(group)] = label;
        panels[group]->installEventFilter(this);
    }
    m_window.pnlImages->installEventFilter(this);
    m_window.pnlPTools->installEventFilter(this);
    connectControls();
}

void FullView::connectControls() {
    auto on = [this](QComboBox* combo, void (FullView::*handler)()) {
        connect(combo, &QComboBox::activated, this,
                [this, handler] { TfrmMain::guarded([=, this] { (this->*handler)(); }); });
    };
    on(m_window.cbFullView, &FullView::cbFullViewChange);
    on(m_window.cbCustomBells1, &FullView::cbCustomBells1Change);
    on(m_window.cbCustomBells2, &FullView::cbCustomBells2Change);
    on(m_window.cbCustomBells3, &FullView::cbCustomBells3Change);
    on(m_window.cbFullCommon, &FullView::cbFullCommonChange);
}

QFrame* FullView::notesPanelOf(int group) const {
    // pnlBellNotes1 holds the big group, 2 the middle, 3 the small one.
    QFrame* panels[] = {m_window.pnlBellNotes3, m_window.pnlBellNotes2, m_window.pnlBellNotes1};
    return panels[group];
}

QComboBox* FullView::mirrorOf(int group) const {
    QComboBox* mirrors[] = {m_window.cbCustomBells1, m_window.cbCustomBells2, m_window.cbCustomBells3};
    return mirrors[group];
}

FullScoreImage* FullView::scoreImage(int group) const {
    return group >= 0 && group < 3 ? m_images[static_cast<std::size_t>(group)] : nullptr;
}

QFrame* FullView::cursorBar(int group) const {
    return group >= 0 && group < 3 ? m_cursors[static_cast<std::size_t>(group)] : nullptr;
}

FullViewTitle* FullView::title(int group) const {
    return group >= 0 && group < 3 ? m_titles[static_cast<std::size_t>(group)] : nullptr;
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
    for (int group = 2; group >= 0; --group) {
        QFrame* panel = notesPanelOf(group);
        auto* image = new FullScoreImage(panel);
        image->setObjectName(QStringLiteral("imgFullScore%1").arg(group));
        image->setGeometry(panel->contentsRect());
        image->show();
        auto* bar = new QFrame(panel);
        bar->setObjectName(QStringLiteral("pnlFullCursor%1").arg(group));
        bar->setAutoFillBackground(true);
        QPalette blue = bar->palette();
        blue.setColor(QPalette::Window, QColor(0, 0, 255));
        bar->setPalette(blue);
        const QPoint origin = panel->contentsRect().topLeft();
        bar->setGeometry(origin.x() + 2, origin.y() + 2, panel->width() - 4, kCursorHeight);
        bar->show();
        m_images[static_cast<std::size_t>(group)] = image;
        m_cursors[static_cast<std::size_t>(group)] = bar;
    }
    // The last notes panel the layout resizes: all three have their size then.
    m_window.pnlBellNotes3->installEventFilter(this);
}

bool FullView::isActive() const {
    return m_animation.isFullView();
}

void FullView::fitScoreImages() {
    for (int group = 0; group < 3; ++group) {
        if (FullScoreImage* image = m_images[static_cast<std::size_t>(group)]) {
            image->setGeometry(notesPanelOf(group)->contentsRect());
        }
    }
}

void FullView::EnterFullView() {
    // 1-2: the flag, then the style of the usual view, at rest.
    m_animation.setFullView(true);
    QComboBox* style = m_window.cbFullView;
    style->clear();
    style->addItems({QStringLiteral("Общий вид"), QStringLiteral("Схематический вид")});
    style->setCurrentIndex(m_window.cbView->currentIndex());
    cbFullViewChange();
    // 3: the tool bar shown (as if chosen in the menu), the bell strip hidden,
    // the full view in front and laid out before anything is drawn on it.
    m_window.nViewPanel->setChecked(true);
    m_window.nViewPanelClick();
    m_window.pnlBells->hide();
    m_window.pnlFullView->show();
    m_window.pnlFullView->raise();
    if (QLayout* layout = m_window.pnlFullView->layout()) {
        layout->activate();
    }
    // 4-5: the selectors' lists and choices.
    for (int group = 0; group < 3; ++group) {
        if (const QComboBox* selector = m_window.groupSelector(group)) {
            mirror(selector, mirrorOf(group));
        }
    }
    mirror(m_window.cbCommon, m_window.cbFullCommon);
    pnlPToolsResize();
    titleResize();
    m_animation.LayoutFullImages();
    // 6
    fitScoreImages();
    m_window.DrawFullScore();
    m_window.ResetBellImages();
    m_window.PlaceFullScoreCursor();
}

void FullView::LeaveFullView() {
    m_animation.setFullView(false);
    if (m_window.cbFullView->currentIndex() >= 0) {
        m_window.cbView->setCurrentIndex(m_window.cbFullView->currentIndex());
    }
    m_window.cbViewChange();
    // The bell strip as the view menu has it.
    m_window.pnlBells->setVisible(m_window.nViewSelectBells->isChecked());
    m_window.pnlFullView->lower();
    m_window.pnlFullView->hide();
    m_window.pnlUsualView->raise();
    m_window.RedrawScore();
    // The choices only: no ringing is loaded again.
    for (int group = 0; group < 3; ++group) {
        QComboBox* selector = m_window.groupSelector(group);
        const int index = mirrorOf(group)->currentIndex();
        if (selector && index >= 0 && index < selector->count()) {
            selector->setCurrentIndex(index);
        }
    }
}

void FullView::DrawFullScore(int page) {
    if (!m_images[0]) {
        return;
    }
    const Ensemble& ensemble = m_window.ensemble();
    fullscore::NotesInput input;
    input.page = page;
    for (int group = 0; group < 3; ++group) {
        const auto g = static_cast<std::size_t>(group);
        input.scores[g] = m_window.channels().score(group);
        input.sizes[g] = m_images[g]->size();
        input.bellCounts[g] = ensemble.groupCount(kSmallGroup + group);
    }
    // A token whose position is not a digit ends the page's dots quietly.
    const fullscore::Notes notes = fullscore::notesOf(input);
    const QColor face = m_window.palette().color(QPalette::Button);
    for (int group = 2; group >= 0; --group) {
        const auto g = static_cast<std::size_t>(group);
        m_images[g]->draw(fullscore::gridOf(input.sizes[g], input.bellCounts[g]), notes.dots[g],
                          groupColour(group), face);
    }
}

void FullView::PlaceFullScoreCursor(int column) {
    if (!m_cursors[0]) {
        return;
    }
    const QRect client = m_window.pnlBellNotes1->contentsRect();
    const int top = fullScoreCursorTop(column, client.height());
    for (int group = 0; group < 3; ++group) {
        QFrame* bar = m_cursors[static_cast<std::size_t>(group)];
        const QPoint origin = notesPanelOf(group)->contentsRect().topLeft();
        bar->move(origin.x() + 2, origin.y() + top);
    }
}

void FullView::nFullViewClick() {
    // The menu item checks and unchecks itself when chosen.
    if (m_window.nFullView->isChecked()) {
        EnterFullView();
    } else {
        LeaveFullView();
    }
}

void FullView::btnFullViewClick() {
    m_window.nFullView->setChecked(true);
    EnterFullView();
}

void FullView::btnUsualViewClick() {
    m_window.nFullView->setChecked(false);
    LeaveFullView();
}

void FullView::cbFullViewChange() {
    m_animation.cbFullViewChange();
}

void FullView::cbCustomBellsChange(int k) {
    const int group = k - 1;
    QComboBox* selector = m_window.groupSelector(group);
    if (!selector) {
        return;
    }
    const int index = mirrorOf(group)->currentIndex();
    if (index >= 0 && index < selector->count()) {
        selector->setCurrentIndex(index);
    }
    m_window.cbCustomSelectionChange(group);
}

void FullView::cbFullCommonChange() {
    const int index = m_window.cbFullCommon->currentIndex();
    m_window.cbCommon->setCurrentIndex(index);
    if (index > 0) {
        for (int group = 0; group < 3; ++group) {
            if (mirrorOf(group)->count() > 0) {
                mirrorOf(group)->setCurrentIndex(0);
            }
        }
    }
    m_window.cbCommonChange();
    // The list may have refused or reset the choice.
    m_window.cbFullCommon->setCurrentIndex(m_window.cbCommon->currentIndex());
}

void FullView::pnlPToolsResize() {
    QComboBox* style = m_window.cbFullView;
    style->move(m_window.pnlPTools->width() - style->width() - fullview::kStyleSelectorRightMargin,
                style->y());
    const fullview::ToolRow row =
        fullview::toolRow(style->x(), m_window.cbCustomBells1->x(), m_window.cbCustomBells1->width(),
                          m_window.cbFullCommon->x());
    m_window.cbFullCommon->resize(row.commonWidth, m_window.cbFullCommon->height());
    m_window.btnUsualView->move(row.usualViewLeft, m_window.btnUsualView->y());
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
    TfrmMain::guarded([this, watched] {
        if (watched == m_window.pnlImages) {
            m_animation.LayoutFullImages();
        } else if (watched == m_window.pnlPTools) {
            pnlPToolsResize();
        } else if (watched == m_window.pnlBellNotes3) {
            // The full view's resize reaches the score here, once its
            // layout has given the notes panels their new height.
            fitScoreImages();
            if (isActive()) {
                m_window.DrawFullScore();
                m_window.PlaceFullScoreCursor();
            }
        } else if (watched != m_window.pnlFullView) {
            titleResize();
        }
    });
    return QObject::eventFilter(watched, event);
}
