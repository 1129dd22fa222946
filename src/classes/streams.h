// Byte streams: the abstract stream with complete reads and writes, a growable
// memory stream, and a file stream over the platform's files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
  // Transfer up to Count bytes; the result is what was transferred.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // The new position; seeking before the start is refused (result -1, position kept).
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual void SetSize(int64_t NewSize) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  int64_t Size();
  // Bytes between the position and the end; what a reader may still allocate for.
  int64_t Remaining();

  // Complete transfers: a short one raises EReadError / EWriteError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source (all of it from its start when Count is 0).
  int64_t CopyFrom(TStream& Source, int64_t Count);

  // Little-endian integers, read and written completely.
  uint8_t ReadByte();
  int16_t ReadInt16();
  int32_t ReadInt32();
  void WriteByte(uint8_t V);
  void WriteInt16(int16_t V);
  void WriteInt32(int32_t V);
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> Bytes) : Data_(std::move(Bytes)) {}
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  void Clear();

  const std::vector<uint8_t>& Bytes() const { return Data_; }
  const uint8_t* Memory() const { return Data_.data(); }

private:
  std::vector<uint8_t> Data_;
  int64_t Pos_ = 0;
};

// Modes of TFileStream: create (replacing any file) or open an existing one.
enum TFileMode : unsigned {
  fmCreate = 0xFFFF,
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
};

class TFileStream : public TStream {
public:
  // Raises EFCreateError "Cannot create file %s" or EFOpenError "Cannot open file %s".
  TFileStream(const std::string& FileName, unsigned Mode);
  ~TFileStream() override;
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& FileName() const { return FileName_; }

private:
  std::string FileName_;
  intptr_t Handle_ = -1;  // the platform's file handle
};
