#pragma once

#include <QWidget>

#include <functional>

// The editor's marks over one staff: the selected columns and the edit
// cursor. A transparent layer over the staff panel that follows its size and
// lets every mouse event through to the picture beneath.
class EditorOverlay : public QWidget {
    Q_OBJECT
public:
    explicit EditorOverlay(QWidget* staff);

    // Columns first..last (inclusive) selected, the cursor at `cursor`, on
    // `page`; the area is the staff picture's rectangle within the panel.
    void showSelection(int page, int first, int last, int cursor);
    // The page the score shows, asked at every painting, so the marks follow
    // the page turned by playback or the page control.
    void setPageSource(std::function<int()> page) { m_pageSource = std::move(page); }
    // How far right of the picture's left edge the staff begins (the margin
    // of the line labels), asked at every painting.
    void setStaffLeftSource(std::function<int()> left) { m_staffLeftSource = std::move(left); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_page = 0;
    int m_first = -1;
    int m_last = -1;
    int m_cursor = -1;
    std::function<int()> m_pageSource;
    std::function<int()> m_staffLeftSource;
};
