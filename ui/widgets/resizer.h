// Scales every control of a window with the window: each control's left,
// top, width and height become its design value times the ratio of the
// window's current size to its design size, and its font follows the smaller
// of the two ratios. Geometry is kept in twips (15 twips to a pixel at 96 dpi).
#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

class QWidget;

namespace moonbite {

inline constexpr int kTwipsPerPixel = 15;

/// The design geometry of one control, in twips.
class rObject {
  public:
    [[nodiscard]] int oHeight() const { return height_; }
    void setOHeight(int v) { height_ = v; }
    [[nodiscard]] int oWidth() const { return width_; }
    void setOWidth(int v) { width_ = v; }
    [[nodiscard]] int oTop() const { return top_; }
    void setOTop(int v) { top_ = v; }
    [[nodiscard]] int oLeft() const { return left_; }
    void setOLeft(int v) { left_ = v; }

  private:
    int height_ = 0, width_ = 0, top_ = 0, left_ = 0;
};

/// The values the resizer shares with the window that owns it. They outlive
/// any one Resizer: a window that moves controls gets a new Resizer, which
/// records the moved layout at the window's current size.
struct ScaleState {
    /// The window's width (twips) when its layout was first recorded: its design
    /// width, against which the horizontal scale is measured whichever Resizer
    /// recorded the current layout. 0 until the first recording.
    int designWidth = 0;
    /// The window's height (twips) at that first recording; with designWidth the
    /// measure of the font scale.
    int designHeight = 0;
    double horizontalScale = 1;  ///< the window's width / its design width, in every state
    double previousScale = 1;    ///< the scale of the last resize
    bool layoutChange = false;   ///< True while datrep moves controls
    bool spinnerFlag = false;    ///< set by rObjects::Item for "UpD..." names
    bool pictureFlag = false;    ///< set by rObjects::Item for "Pictures1..." names
};

/// A keyed collection of rObject records (key = the control's objectName).
class rObjects {
  public:
    explicit rObjects(ScaleState& scale) : scale_(scale) {}
    /// Records a control. oHeight is recorded only when the key does not start
    /// with "Tex" or is "Text200". Returns nullptr for a duplicate key.
    rObject* Add(int oWidth, int oHeight, int oTop, int oLeft, const QString& sKey);
    [[nodiscard]] bool Exists(const QString& key) const;
    /// The record; sets the spinner flag for "UpD..." keys and the picture
    /// flag for keys whose first nine characters are "Pictures1".
    rObject* Item(const QString& key);
    [[nodiscard]] int Count() const;
    void Remove(const QString& key);
    [[nodiscard]] QStringList keys() const;

  private:
    ScaleState& scale_;
    QMap<QString, rObject> items_;
    // A deque, so the pointers Add hands out stay valid as more records come.
    std::deque<rObject> unkeyed_;
};

class Resizer : public QObject {
    Q_OBJECT
  public:
    /// The ErrCode of ResizeError: Resize was given something that is not a window.
    static constexpr qint16 kNotAWindowError = 1001;

    explicit Resizer(ScaleState& scale, QObject* parent = nullptr);
    /// Records the window's controls on first use, then scales them to the
    /// window's current size. srcContainer must be a window; anything else
    /// raises ResizeError and returns false.
    bool Resize(QWidget* srcContainer);
    [[nodiscard]] const rObjects& records() const { return records_; }
    [[nodiscard]] float widthRatio() const { return widthRatio_; }
    [[nodiscard]] float heightRatio() const { return heightRatio_; }
    /// The scale of every control's font at the last resize: the smaller of the
    /// window's width and height ratios to its first design, so text grows and
    /// shrinks with its boxes but never outgrows them in either direction.
    [[nodiscard]] double fontScale() const { return fontScale_; }

  signals:
    void ResizeError(qint16 ErrCode, const QString& ErrDesc);

  private:
    bool RecordLayout(QWidget* srcContainer);
    ScaleState& scale_;
    rObjects records_;
    int designHeight_ = 0, designWidth_ = 0, currentHeight_ = 0, currentWidth_ = 0;
    float widthRatio_ = 1, heightRatio_ = 1;
    double fontScale_ = 1;
    bool recorded_ = false;
};

}  // namespace moonbite
