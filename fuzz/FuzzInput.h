#pragma once
// A fuzzer's input read as a stream of choices: bytes, numbers below a bound, runs of
// bytes. Past the end every byte reads as 0, so a short input still makes a whole case.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

class TFuzzInput {
 public:
  TFuzzInput(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  bool Empty() const { return FPos >= FSize; }
  int Byte() { return FPos < FSize ? FData[FPos++] : 0; }
  int Below(int n) { return Byte() % n; }
  std::string Take(size_t n) {
    n = std::min(n, FSize - FPos);
    std::string taken(reinterpret_cast<const char*>(FData) + FPos, n);
    FPos += n;
    return taken;
  }
  std::string Rest() { return Take(FSize - FPos); }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};
