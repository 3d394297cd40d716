#include "framework/IPlugVST.h"

IPlugVST::IPlugVST(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                   const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                   int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
                   bool plugIsInst)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, 0) {
  SetBlockSize(kDefaultBlockSize);
}
