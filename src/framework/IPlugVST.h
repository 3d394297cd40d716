#pragma once

#include "framework/IPlugBase.h"

// The VST 2 host adapter. It will own the AEffect record and the host callback;
// for now it only sets the block size the way the adapter does at construction.
class IPlugVST : public IPlugBase {
 public:
  static constexpr int kDefaultBlockSize = 1024;

  IPlugVST(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
           const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
           int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
};
