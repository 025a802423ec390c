#pragma once
// The wizard's user port on the fake platform: the setup's message boxes
// go to the fake (answered from its script and recorded), and the status
// line's texts are recorded in its statusTexts as the progress page's
// control would show them.
#include "fake_platform.h"
#include "resources/resource_ids.h"
#include "wizard/message_box_port.h"

namespace kestrova::test {

class RecordingPort : public MessageBoxPort {
  public:
    explicit RecordingPort(FakePlatform& fake, WindowRef page = nullptr)
        : MessageBoxPort(fake, page), fake_(fake) {}
    void status(const char* text) override {
        fake_.statusTexts.push_back({owner_, IDC_STATUS_LINE, text ? text : ""});
    }

  private:
    FakePlatform& fake_;
};

}  // namespace kestrova::test
