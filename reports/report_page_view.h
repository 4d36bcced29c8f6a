#pragma once
// The sheet on the preview's desk: one page already painted into an image at the preview's zoom,
// shown on the grey of the scroll area with a margin and a shadow around it.

#include <QImage>
#include <QWidget>

namespace halvo {

class ReportPageView : public QWidget {
    Q_OBJECT
public:
    // Space around the sheet, in pixels.
    static constexpr int Gap = 16;

    explicit ReportPageView(QWidget* parent = nullptr);

    // The painted page; its device pixel ratio says how large it stands on the screen.
    void setImage(QImage image);
    const QImage& image() const { return image_; }
    // Where the sheet stands inside the view.
    QRect sheetRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace halvo
