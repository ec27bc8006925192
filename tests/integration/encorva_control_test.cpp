// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion component through its C++ slots, as a caller compiled against the
// interface uses it, with the encoder module behind it; and its events in connection order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encorva/encorva_interfaces.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "support/encorva_instance.h"

namespace vantrel::test {
namespace {

using namespace com;
using namespace encorva;

ComPtr<IEncorvaObj> CreateControl() { return RegisterAndCreateEncorva(); }

class EncorvaControlTest : public testing::Test {
 protected:
  ScopedCoInitialize com_;
  ComPtr<IEncorvaObj> control_ = CreateControl();
};

TEST_F(EncorvaControlTest, VideoFormatsMapBothWaysAndUnknownOnesLeaveTheValue) {
  auto value = EnumMPEGVideoFormat(42);
  ASSERT_EQ(control_->get_OutputVideoFormat(&value), S_OK);
  EXPECT_EQ(value, 42);  // nothing chosen yet
  for (LONG format = formatMPEG1_Standard; format <= formatMPEG2_DVD_PAL; ++format) {
    ASSERT_EQ(control_->put_OutputVideoFormat(EnumMPEGVideoFormat(format)), S_OK);
    value = EnumMPEGVideoFormat(42);
    control_->get_OutputVideoFormat(&value);
    EXPECT_EQ(value, format);
  }
  control_->put_OutputVideoFormat(formatMPEG4_Standard);
  value = EnumMPEGVideoFormat(42);
  control_->get_OutputVideoFormat(&value);
  EXPECT_EQ(value, 42);
  auto audio = EnumMPEGAudioFormat(7);
  control_->get_OutputAudioFormat(&audio);
  EXPECT_EQ(audio, 7);
}

TEST_F(EncorvaControlTest, GettersThatLeaveTheOutValueAndTheBooleanRule) {
  LONG rate = 12345;
  control_->put_OutputAudioSampleRate(48000);
  control_->get_OutputAudioSampleRate(&rate);
  EXPECT_EQ(rate, 12345);
  BSTR text = reinterpret_cast<BSTR>(0x1234);
  control_->get_VideoEncoder(&text);
  control_->get_VideoEncoderKey(&text);
  EXPECT_EQ(text, reinterpret_cast<BSTR>(0x1234));

  control_->put_OutputVideoFormat(formatMPEG2_DVD_PAL);
  VARIANT_BOOL on = 7;
  control_->put_AutoBitrate(VARIANT_TRUE);
  control_->get_AutoBitrate(&on);
  EXPECT_EQ(on, VARIANT_TRUE);
  control_->put_AutoBitrate(1);  // only VARIANT_TRUE is true
  control_->get_AutoBitrate(&on);
  EXPECT_EQ(on, VARIANT_FALSE);
  control_->put_OutputVBRVideo(VARIANT_TRUE);
  control_->get_OutputVBRVideo(&on);
  EXPECT_EQ(on, VARIANT_TRUE);
  control_->put_OutputVBRVideo(1);
  control_->get_OutputVBRVideo(&on);
  EXPECT_EQ(on, VARIANT_FALSE);

  LONG width = 0;
  control_->put_OutputWidth(352);
  control_->get_OutputWidth(&width);
  EXPECT_EQ(width, 352);
}

class RecordingSink : public Object<IDispatch> {
 public:
  RecordingSink(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__IEncorvaObjEvents)
      return Hand<IDispatch>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    std::string entry = name_ + ":" + std::to_string(id);
    // Arguments come in reverse order: the last one first.
    for (UINT i = params->cArgs; i-- > 0;) {
      const VARIANT& v = params->rgvarg[i];
      entry += v.vt == VT_BSTR ? "," + Utf8FromBstr(v.bstrVal) : "," + std::to_string(v.lVal);
    }
    log_->push_back(entry);
    return S_OK;
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

TEST_F(EncorvaControlTest, EventsReachEverySinkInConnectionOrder) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(control_.As(IID_IConnectionPointContainer, container), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IEncorvaObjEvents, point.Put()), S_OK);
  ComPtr<IConnectionPoint> notify;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, notify.Put()), S_OK);
  std::vector<std::string> log;
  ComPtr<IDispatch> first = ComPtr<IDispatch>::Attach(new RecordingSink("a", &log));
  ComPtr<IDispatch> second = ComPtr<IDispatch>::Attach(new RecordingSink("b", &log));
  DWORD cookieA = 0, cookieB = 0;
  ASSERT_EQ(point->Advise(first.Get(), &cookieA), S_OK);
  ASSERT_EQ(point->Advise(second.Get(), &cookieB), S_OK);

  control_->StopConversion();  // idle: nothing
  EXPECT_TRUE(log.empty());

  ComPtr<IConversionEvents> engineSide;
  ASSERT_EQ(control_.As(IID_IConversionEvents, engineSide), S_OK);
  engineSide->OnAboutToRun();
  engineSide->OnStopped();
  engineSide->OnError(E_FAIL, "Could not open source");
  EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:1", "a:3,1,Stopped", "b:3,1,Stopped",
                                           "a:2", "b:2", "a:4,-2147467259,Could not open source",
                                           "b:4,-2147467259,Could not open source"}));
  BSTR status = nullptr;
  control_->get_CurrentStatus(&status);
  EXPECT_EQ(Utf8FromBstr(status), "About to run");  // "Stopped" does not change it
  SysFreeString(status);

  ASSERT_EQ(point->Unadvise(cookieA), S_OK);
  log.clear();
  engineSide->OnConnecting();
  EXPECT_EQ(log, (std::vector<std::string>{"b:3,8,Connecting"}));
  EXPECT_EQ(point->Unadvise(cookieA), CONNECT_E_NOCONNECTION);
}

}  // namespace
}  // namespace vantrel::test
