#pragma once

#include "core/program_state.h"
#include "skin/animated_picture.h"
#include "skin/image_button.h"
#include "skin/indexed_set.h"
#include "skin/stretched_picture.h"

#include <QColor>
#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// The colour of a platform colour value (red + 256 * green + 65536 * blue).
QColor colorFromValue(quint32 value);

// The base of every skinned window: a frameless window measured in pixels whose elements come
// from a theme. It owns the indexed element sets, each with a hidden template member 0 from
// which new members take their look; the list of all its elements in creation order; and the
// window's button and animation tables. Its image buttons follow the pointer by the events of
// the program's windows, with no timer.
class SkinnedWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SkinnedWindow(QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    IndexedSet<QListWidget> lstBox;
    IndexedSet<QLabel> lblInfo;
    IndexedSet<StretchedPicture> imgPic;
    IndexedSet<ImageButton> imgBut;
    IndexedSet<AnimatedPicture> imgGif; // one member per animation, drawing its current frame
    IndexedSet<QTimer> tmrAnim;

    // One hover pass over the window's image buttons (skin::hoverPass). Run whenever the pointer
    // enters, moves over, presses or releases on, or leaves a window of the program or one of
    // its widgets (platform::pointerEvents()), or a widget appears or goes under it.
    void UpdateHover();

    // One tick of animation `index` (skin::tickAnimation); tmrAnim member `index` runs it.
    void tmrAnim_Timer(int index);

    // New members, hidden, with the look of their template. Each returns nullptr, and creates
    // nothing, when the index is below 1 or already in use. A new animation timer, stopped,
    // ticks its animation.
    QListWidget *addListBox(int index);
    QLabel *addLabel(int index);
    StretchedPicture *addPicture(int index);
    ImageButton *addImageButton(int index);
    AnimatedPicture *addAnimation(int index);
    QTimer *addAnimTimer(int index);

    // Every element of the window in creation order: templates and design-time elements first,
    // then what the layout added.
    int controlCount() const { return static_cast<int>(m_controls.size()); }
    // Element i (0 ... controlCount() - 1), or nullptr when i is out of range.
    QObject *control(int i) const;
    // Deletes element i and drops it from its set. False when i is out of range.
    bool removeControl(int i);

    // The inside of the window in pixels, what layout lines are measured against.
    double ScaleWidth() const { return width(); }
    double ScaleHeight() const { return height(); }

    // The window's tables. A window that keeps them elsewhere (the console keeps its own in
    // the program state) overrides both.
    virtual ButtonTable &buttonTable() { return m_buttons; }
    virtual AnimationTable &animationTable() { return m_animations; }

    // What the window plays its sounds through (an image button's over sound, a dialog button's
    // click sound): given a theme sound name, it plays it without waiting. Until a player is set
    // the window is silent.
    using SoundPlayer = std::function<void(const QString &name)>;
    void setSoundPlayer(SoundPlayer player) { m_soundPlayer = std::move(player); }
    void playSound(const QString &name) const;

    // What a screen reader calls an image button whose skin gives it no name: its command
    // in words. This base knows no keywords and names the program or document the command
    // opens by its file name (the text after the last "\" or "/"; a quoted command up to its
    // closing quote). A derived window names its own keywords.
    virtual QString commandName(const QString &command) const;

    // True once the window is closing for good; hover passes and animation ticks then stop.
    virtual bool isQuitting() const { return false; }

    // The step pause of a progressive build or tear-down. Timers and repaints run during it,
    // user input waits until it is over. Ends early when the window starts quitting meanwhile.
    virtual void buildPause(int milliseconds);

    void setBackColor(const QColor &color);

    // The widget that holds the elements of the sets, covering the whole window. Hiding it
    // while many elements are added spares Qt work for every element already there.
    QWidget *elementSurface() const { return m_surface; }

signals:
    // imgBut member `index` was clicked.
    void imgButClicked(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

    // Appends a design-time element of a derived window to the element list.
    void addDesignElement(QObject *element);

private:
    template<typename Element>
    Element *addMember(IndexedSet<Element> &set, int index, Element *element);
    // A new member of set at index with the look of its template member 0.
    template<typename Element>
    Element *addFromTemplate(IndexedSet<Element> &set, int index);
    void forget(QObject *element);

    QWidget *m_surface = nullptr;
    QList<QPointer<QObject>> m_controls;
    ButtonTable m_buttons;
    AnimationTable m_animations;
    SoundPlayer m_soundPlayer;
};
