// The layout file (ElFrmIniFile): the window's state, its place and size as
// fractions of the screen, its maximum tracking size and the visibility of each
// managed control, little-endian:
//
//   int32 count of managed controls
//   uint8 window state: 0 normal, 2 maximised
//   4 × double left, top, width, height / screen width or height (state 0 only)
//   int32 MaximumTrackWidth, int32 MaximumTrackHeight
//   uint8 Visible of each managed control, in list order
//
// A file that cannot be written or read is left alone; one written for another
// number of controls, or damaged, is ignored as a whole.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "classes/streams.h"
#include "elastic/ElastFrm.h"
#include "gui/forms.h"

namespace {

constexpr uint8_t StateNormal = 0;
constexpr uint8_t StateMaximized = 2;

template <class T>
void Put(std::vector<uint8_t>& Bytes, T Value) {
  const auto* P = reinterpret_cast<const uint8_t*>(&Value);
  Bytes.insert(Bytes.end(), P, P + sizeof(T));
}

// Reads the fields in order; Ok turns false at the first one missing.
class TFieldReader {
public:
  explicit TFieldReader(const std::vector<uint8_t>& Bytes) : Bytes_(Bytes) {}
  template <class T>
  T Get() {
    T Value{};
    if (Bytes_.size() - At_ < sizeof(T)) {
      Ok = false;
      return Value;
    }
    std::memcpy(&Value, Bytes_.data() + At_, sizeof(T));
    At_ += sizeof(T);
    return Value;
  }
  bool AtEnd() const { return At_ == Bytes_.size(); }
  bool Ok = true;

private:
  const std::vector<uint8_t>& Bytes_;
  size_t At_ = 0;
};

// A maximised form records its size in percent of the screen; 0 when it fills it.
int NegativePercent(int Size, int Extent) {
  const int Percent = -Round(100.0 * Size / Extent);
  return Percent <= -100 ? 0 : Percent;
}

// A fraction a sane window can have: the screen's size is the unit.
bool Plausible(double Fraction) { return std::isfinite(Fraction) && std::fabs(Fraction) <= 4.0; }

}  // namespace

void TElasticForm::SaveLayoutFile() {
  if (ElFrmIniFile.empty()) return;
  const int ScreenW = Screen->Width(), ScreenH = Screen->Height();
  std::vector<uint8_t> Bytes;
  Put<int32_t>(Bytes, static_cast<int32_t>(Controls_.size()));
  Put<uint8_t>(Bytes, Maximized_ ? StateMaximized : StateNormal);
  if (!Maximized_) {
    Put<double>(Bytes, static_cast<double>(Form_->Left()) / ScreenW);
    Put<double>(Bytes, static_cast<double>(Form_->Top()) / ScreenH);
    Put<double>(Bytes, static_cast<double>(Form_->Width()) / ScreenW);
    Put<double>(Bytes, static_cast<double>(Form_->Height()) / ScreenH);
  } else {
    MaximumTrackWidth = NegativePercent(Form_->Width(), ScreenW);
    MaximumTrackHeight = NegativePercent(Form_->Height(), ScreenH);
  }
  Put<int32_t>(Bytes, MaximumTrackWidth);
  Put<int32_t>(Bytes, MaximumTrackHeight);
  for (TControl* C : Controls_) Put<uint8_t>(Bytes, C->Visible() ? 1 : 0);
  try {
    TFileStream File(ElFrmIniFile, fmCreate);
    File.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  } catch (const Exception&) {
    // No layout file then: the form works as before.
  }
}

void TElasticForm::LoadLayoutFile() {
  if (ElFrmIniFile.empty() || GetFileAttributesA(ElFrmIniFile.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  std::vector<uint8_t> Bytes;
  try {
    TFileStream File(ElFrmIniFile, fmOpenRead);
    Bytes.resize(static_cast<size_t>(File.Size()));
    if (!Bytes.empty()) File.ReadBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  } catch (const Exception&) {
    return;
  }
  TFieldReader In(Bytes);
  if (In.Get<int32_t>() != static_cast<int32_t>(Controls_.size()) || !In.Ok) return;
  const uint8_t State = In.Get<uint8_t>();
  if (State != StateNormal && State != StateMaximized) return;
  double Left = 0, Top = 0, Width = 0, Height = 0;
  if (State == StateNormal) {
    Left = In.Get<double>();
    Top = In.Get<double>();
    Width = In.Get<double>();
    Height = In.Get<double>();
    if (!Plausible(Left) || !Plausible(Top) || !Plausible(Width) || !Plausible(Height)) return;
  }
  const int32_t TrackWidth = In.Get<int32_t>();
  const int32_t TrackHeight = In.Get<int32_t>();
  std::vector<bool> Visible;
  for (size_t I = 0; I < Controls_.size(); ++I) Visible.push_back(In.Get<uint8_t>() != 0);
  if (!In.Ok || !In.AtEnd()) return;  // damaged: nothing of it is taken

  Form_->SetWindowState(State == StateMaximized ? wsMaximized : wsNormal);
  if (State == StateNormal) {
    StoredLeft_ = Left;
    StoredTop_ = Top;
    StoredWidth_ = Width;
    StoredHeight_ = Height;
    RestorePositionPending_ = true;
    RestoreSizePending_ = true;
  }
  MaximumTrackWidth = TrackWidth;
  MaximumTrackHeight = TrackHeight;
  for (size_t I = 0; I < Controls_.size(); ++I) Controls_[I]->SetVisible(Visible[I]);
}
