// The host-independent core of the plug-in object: identity, legal channel
// configurations and channels with their buffers, sample rate and block size, the
// parameter list, and the recursive mutex that serialises every host call, every
// audio block and every parameter or state change.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/IParam.h"

struct IMidiMsg;

class IPlugBase {
 public:
  static constexpr int kMaxEffectName = 128;

  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
            const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
            int plugAPI);
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // Hooks the instrument overrides. Each runs under the plug-in mutex.
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void SendMidiMsg(IMidiMsg*) {}
  virtual void InformHostOfParamChange(int, double) {}
  virtual void BeginInformHostOfParamChange(int) {}
  virtual void EndInformHostOfParamChange(int) {}
  virtual void SetSampleRate(double sampleRate);
  virtual void SetBlockSize(int blockSize);
  virtual void SetLatency(int samples) { latency_ = samples; }

  // Any thread; takes the mutex.
  void SetParameterFromGUI(int paramIdx, double normalized);
  // Calls OnParamChange for every parameter in index order.
  void OnParamReset();

  IParam* GetParam(int paramIdx);
  const IParam* GetParam(int paramIdx) const;
  int NParams() const { return static_cast<int>(params_.size()); }

  double GetSampleRate() const { return sampleRate_; }
  int GetBlockSize() const { return blockSize_; }
  int GetLatency() const { return latency_; }
  int GetUniqueID() const { return uniqueID_; }
  int GetEffectVersion(bool decimal) const;
  const char* GetEffectName() const { return effectName_; }
  const char* GetProductName() const { return productName_; }
  const char* GetMfrName() const { return mfrName_; }
  bool DoesMIDI() const { return doesMidi_; }
  bool DoesStateChunks() const { return doesChunks_; }
  bool IsInst() const { return isInst_; }
  int GetAPI() const { return api_; }

  // Channels.
  bool LegalIO(int nIn, int nOut) const;
  int NInChannels() const { return static_cast<int>(inChannels_.size()); }
  int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  void SetInputChannelConnections(int first, int count, bool connected);
  void SetOutputChannelConnections(int first, int count, bool connected);
  void SetInputLabel(int chIdx, const char* label);
  void SetOutputLabel(int chIdx, const char* label);
  const char* GetInputLabel(int chIdx) const;
  const char* GetOutputLabel(int chIdx) const;

  // Audio block path; audio thread, plug-in mutex held by the caller.
  void AttachInputBuffers(int first, int count, double** buffers, int nFrames);
  void AttachInputBuffers(int first, int count, float** buffers, int nFrames);
  void AttachOutputBuffers(int first, int count, double** buffers);
  void AttachOutputBuffers(int first, int count, float** buffers);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);

  std::recursive_mutex& Mutex() const { return mutex_; }

 protected:
  struct InChannel {
    bool connected = true;
    std::vector<double> scratch;  // one block long; used when unconnected or for float input
    std::string label;
  };
  struct OutChannel {
    bool connected = true;
    float* hostBuffer = nullptr;  // non-null while a float block is being processed
    std::vector<double> scratch;
    std::string label;
  };
  struct ChannelIO {
    int nIn;
    int nOut;
  };

 private:
  void processFloatOutputs(int nFrames, bool accumulate);

  std::vector<ChannelIO> channelIO_;
  mutable std::recursive_mutex mutex_;
  char effectName_[kMaxEffectName] = {};
  char productName_[kMaxEffectName] = {};
  char mfrName_[kMaxEffectName] = {};
  int uniqueID_;
  int mfrID_;
  int version_;
  int api_;
  bool doesMidi_;
  bool doesChunks_;
  bool isInst_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_;
  std::vector<IParam> params_;
  std::vector<double*> inData_;
  std::vector<double*> outData_;
  std::vector<InChannel> inChannels_;
  std::vector<OutChannel> outChannels_;

 protected:
  int nPresets_;
};

// Holds a plug-in's recursive mutex for the scope.
using IMutexLock = std::lock_guard<std::recursive_mutex>;
