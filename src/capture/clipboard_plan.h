#pragma once
#include <cstdint>
#include <utility>

namespace vistrel {

// Where a capture stands: the one a press took, or one of the captures a held
// key adds to a burst after it.
enum class CapturePlace { Press, InBurst };

// How long an open of the clipboard may wait for another program to let go.
enum class ClipboardWait {
  None,   // one try: a burst's captures and an idle tick never wait
  Short,  // the press's capture and the burst's end: a viewer's moment
  AtEnd,  // the program's end, after which a capture would be lost
};

// What the plan asks of the system's clipboard; Windows' in the program, a
// stand-in in the tests.
template <typename Capture>
class ClipboardPort {
 public:
  virtual ~ClipboardPort() = default;
  virtual bool Open(ClipboardWait wait) = 0;
  virtual void Close() = 0;
  // In an open clipboard: empties it and announces the capture's bitmap, to
  // be made when a reader asks; with the marks that keep it out of the
  // clipboard history and the clipboard managers when marked.
  virtual void Announce(const Capture& capture, bool marked) = 0;
  // In an open clipboard that holds our announcement: makes the bitmap now,
  // with no change for readers.
  virtual void Render(const Capture& capture) = 0;
  // In an open clipboard: empties it and puts the bitmap itself there.
  virtual void PutBitmap(const Capture& capture) = 0;
  // The clipboard's change count (GetClipboardSequenceNumber).
  virtual std::uint32_t Sequence() const = 0;
};

// The captures' way onto the clipboard, decided in one place. A capture is
// announced (delayed rendering: one small request where the bitmap itself
// would be copied whole), and its bitmap is made when a reader asks, at the
// burst's end, or at the program's end.
//
// The rules:
// - The press's capture waits a viewer's moment for the clipboard; a
//   clipboard held longer is the error, and nothing of it is put there.
// - A capture inside a burst never waits: with the clipboard busy it is held
//   back, and a newer capture replaces it. Inside a burst the files are what
//   the user asked for, so a busy clipboard never ends the burst, and is
//   never reported: the clipboard took the press's capture, or its error
//   ended the burst before it began.
// - The burst's last capture goes there without the marks, for the history.
// - A capture held back or owed goes there only while no other program has
//   written the clipboard since it was taken or announced: what the user
//   copied afterwards stays theirs. Its file holds it all the same.
// - An idle tick tries once, without waiting; the program's end waits a few
//   seconds, then lets go (the files hold every capture).
// - After the program's end nothing touches the clipboard again: at a
//   session's end the process may be gone before a new promise is kept, and
//   the end may come while a capture waits for the clipboard.
template <typename Capture>
class ClipboardPlan {
 public:
  explicit ClipboardPlan(ClipboardPort<Capture>& port) : port_(port) {}

  // A new capture. False when the press's capture found the clipboard held
  // by another program: the caller reports it.
  bool Put(Capture capture, CapturePlace place) {
    if (ended_) return true;
    // Whatever happens to it, a newer capture than one held back exists.
    heldBack_ = Capture();
    if (place == CapturePlace::Press) {
      inBurst_ = true;
      if (!Open(ClipboardWait::Short)) return ended_;
    } else if (!Open(ClipboardWait::None)) {
      if (ended_) return true;
      // Newer than what is there now: it replaces that, unless another
      // program writes the clipboard before it can go there.
      heldBack_ = std::move(capture);
      sequence_ = port_.Sequence();
      return true;
    }
    Announce(std::move(capture), place == CapturePlace::InBurst);
    Close();
    return true;
  }

  // Makes the announced bitmap now, when it is still owed and ours.
  void RenderNow(ClipboardWait wait) {
    if (!owed_ || !Open(wait)) return;
    if (Ours()) Render();
    Close();
  }

  // The end of a burst: its last capture goes there unmarked and its bitmap
  // is made; a clipboard still busy leaves that to the idle ticks. Called
  // after a tick without a capture too, where it is an idle tick and waits
  // for nothing.
  void EndBurst() {
    const bool ended = std::exchange(inBurst_, false);
    if (!heldBack_ && !marked_ && !owed_) return;
    if (!Open(ended ? ClipboardWait::Short : ClipboardWait::None)) return;
    const bool ours = Ours();
    if (heldBack_ && ours)
      Announce(std::exchange(heldBack_, Capture()), false);
    else if (marked_ && ours)
      Announce(marked_, false);
    heldBack_ = Capture();
    marked_ = Capture();
    if (owed_ && ours) Render();
    Close();
  }

  // A reader asks for the bitmap (the clipboard open on its side): the
  // capture to make it from, if one is owed.
  Capture Owed() const { return owed_; }
  // The bitmap was made for a reader.
  void Rendered() { owed_ = Capture(); }
  // The clipboard was emptied: our announcement is over.
  void Emptied() {
    owed_ = Capture();
    marked_ = Capture();
  }

  // The program's end: a capture held back, or one whose bitmap is still
  // owed, goes there if the clipboard frees within a few seconds and nobody
  // wrote it since; else it is let go.
  void End() {
    if (std::exchange(ended_, true)) return;
    // What it holds with the marks stays as it is.
    marked_ = Capture();
    if (!heldBack_ && !owed_) return;
    if (!port_.Open(ClipboardWait::AtEnd)) return;
    if (Ours()) {
      if (heldBack_) {
        port_.PutBitmap(heldBack_);
        changed_ = true;
      } else {
        Render();
      }
    }
    heldBack_ = Capture();
    owed_ = Capture();
    Close();
  }

  bool HoldsBack() const { return static_cast<bool>(heldBack_); }

 private:
  // Open, unless the program's end came first or while it waited (a wait
  // answers the system's messages).
  bool Open(ClipboardWait wait) {
    if (ended_ || !port_.Open(wait)) return false;
    if (!ended_) return true;
    port_.Close();
    return false;
  }

  // No other program has written the clipboard since our last change.
  bool Ours() const { return port_.Sequence() == sequence_; }

  // The count is taken once the clipboard is closed: closing it after a
  // change counts as one more.
  void Close() {
    port_.Close();
    if (std::exchange(changed_, false)) sequence_ = port_.Sequence();
  }

  void Announce(Capture capture, bool marked) {
    port_.Announce(capture, marked);
    changed_ = true;
    marked_ = marked ? capture : Capture();
    owed_ = std::move(capture);
  }

  void Render() {
    port_.Render(owed_);
    Rendered();
  }

  ClipboardPort<Capture>& port_;
  Capture owed_;      // announced, its bitmap not made yet
  Capture marked_;    // on the clipboard with the marks
  Capture heldBack_;  // not on the clipboard: it was busy
  // The clipboard's count after our last change, or when the capture held
  // back was taken.
  std::uint32_t sequence_ = 0;
  bool changed_ = false;  // by us, in the clipboard open now
  bool inBurst_ = false;
  bool ended_ = false;
};

}  // namespace vistrel
