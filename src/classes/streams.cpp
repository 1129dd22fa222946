#include "classes/streams.h"

#include <algorithm>
#include <cstring>

#include "classes/sysutils.h"

int64_t TStream::Size() {
  int64_t Pos = Seek(0, soCurrent);
  int64_t End = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return End;
}

int64_t TStream::Remaining() { return std::max<int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count)) throw EReadError(Msg::ReadError);
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count)) throw EWriteError(Msg::WriteError);
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  uint8_t Buffer[8192];
  int64_t Left = Count;
  while (Left > 0) {
    int64_t N = std::min<int64_t>(Left, sizeof Buffer);
    Source.ReadBuffer(Buffer, N);
    WriteBuffer(Buffer, N);
    Left -= N;
  }
  return Count;
}

uint8_t TStream::ReadByte() {
  uint8_t B[1];
  ReadBuffer(B, 1);
  return B[0];
}

int16_t TStream::ReadInt16() {
  uint8_t B[2];
  ReadBuffer(B, 2);
  return static_cast<int16_t>(B[0] | (B[1] << 8));
}

int32_t TStream::ReadInt32() {
  uint8_t B[4];
  ReadBuffer(B, 4);
  return static_cast<int32_t>(uint32_t(B[0]) | (uint32_t(B[1]) << 8) | (uint32_t(B[2]) << 16) | (uint32_t(B[3]) << 24));
}

void TStream::WriteByte(uint8_t V) { WriteBuffer(&V, 1); }

void TStream::WriteInt16(int16_t V) {
  uint16_t U = static_cast<uint16_t>(V);
  uint8_t B[2] = {uint8_t(U), uint8_t(U >> 8)};
  WriteBuffer(B, 2);
}

void TStream::WriteInt32(int32_t V) {
  uint32_t U = static_cast<uint32_t>(V);
  uint8_t B[4] = {uint8_t(U), uint8_t(U >> 8), uint8_t(U >> 16), uint8_t(U >> 24)};
  WriteBuffer(B, 4);
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  int64_t Size = static_cast<int64_t>(Data_.size());
  if (Count <= 0 || Pos_ >= Size) return 0;
  int64_t N = std::min(Count, Size - Pos_);
  std::memcpy(Buffer, Data_.data() + Pos_, static_cast<size_t>(N));
  Pos_ += N;
  return N;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (Pos_ + Count > static_cast<int64_t>(Data_.size())) Data_.resize(static_cast<size_t>(Pos_ + Count));
  std::memcpy(Data_.data() + Pos_, Buffer, static_cast<size_t>(Count));
  Pos_ += Count;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? Pos_ : static_cast<int64_t>(Data_.size());
  if (Base + Offset < 0) return -1;
  Pos_ = Base + Offset;
  return Pos_;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  Data_.resize(static_cast<size_t>(std::max<int64_t>(0, NewSize)));
  Pos_ = std::min(Pos_, static_cast<int64_t>(Data_.size()));
}

void TMemoryStream::Clear() {
  Data_.clear();
  Pos_ = 0;
}
