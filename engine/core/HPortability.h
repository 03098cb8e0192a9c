// ZEPH: fixed byte-order stores and loads, byte swaps and float/double bit
// patterns that give the same bytes whatever the host's own byte order.
#ifndef ENGINE_CORE_HPORTABILITY_H
#define ENGINE_CORE_HPORTABILITY_H

#include <cstdint>

// Stores write into a caller's buffer (which must have room for the value)
// and answer the position just past the bytes written, so calls can chain.
void *zephStoreLE16(void *dst, uint16_t value);
void *zephStoreLE32(void *dst, uint32_t value);
void *zephStoreLE64(void *dst, uint64_t value);
void *zephStoreBE16(void *dst, uint16_t value);
void *zephStoreBE32(void *dst, uint32_t value);
void *zephStoreBE64(void *dst, uint64_t value);

void *zephStoreLES16(void *dst, int16_t value);
void *zephStoreLES32(void *dst, int32_t value);
void *zephStoreLES64(void *dst, int64_t value);
void *zephStoreBES16(void *dst, int16_t value);
void *zephStoreBES32(void *dst, int32_t value);
void *zephStoreBES64(void *dst, int64_t value);

// Loads read from a caller's buffer; the buffer needs no particular alignment.
uint16_t zephLoadLE16(const void *src);
uint32_t zephLoadLE32(const void *src);
uint64_t zephLoadLE64(const void *src);
uint16_t zephLoadBE16(const void *src);
uint32_t zephLoadBE32(const void *src);
uint64_t zephLoadBE64(const void *src);

int16_t zephLoadLES16(const void *src);
int32_t zephLoadLES32(const void *src);
int64_t zephLoadLES64(const void *src);
int16_t zephLoadBES16(const void *src);
int32_t zephLoadBES32(const void *src);
int64_t zephLoadBES64(const void *src);

// Byte reversal; the signed 16-bit form answers its result sign-extended
// when widened (0x0080 -> -32768).
uint16_t zephSwap16(uint16_t value);
int16_t zephSwapS16(int16_t value);
uint32_t zephSwap32(uint32_t value);
int32_t zephSwapS32(int32_t value);
uint64_t zephSwap64(uint64_t value);
int64_t zephSwapS64(int64_t value);

// A float's 32-bit pattern ready to be stored little- or big-endian as a
// native 32-bit word, and back.
uint32_t zephFloatToLEBits(float value);
float zephFloatFromLEBits(uint32_t bits);
uint32_t zephFloatToBEBits(float value);
float zephFloatFromBEBits(uint32_t bits);

// A double's 64-bit pattern as eight bytes, least significant first.
void *zephStoreDoubleLE(void *dst, double value);
double zephLoadDoubleLE(const void *src);

// Checks every conversion; answers a static text: the platform summary when
// all pass, otherwise the message of the first check that failed.
const char *zephSelfTest();

#endif
