#include "platform/linux/atspierror.h"
#include "platform/accessibleelement.h"
#include <gtest/gtest.h>

namespace {

TEST(AtspiError, MapsTheBusMessagesOntoAccessibilityCodes) {
  const std::vector<std::pair<const char*, qint32>> cases = {
      {"Did not receive a reply. Possible causes include: the remote application did not send a reply, ...",
       AXError::cannotComplete},
      {"timeout from dbind", AXError::cannotComplete},
      {"Unknown object '/org/a11y/atspi/accessible/12'.", AXError::invalidUIElement},
      {"The name :1.42 was not provided by any .service files", AXError::invalidUIElement},
      {"No such interface 'org.a11y.atspi.Text' on object at path /org/a11y/atspi/accessible/3",
       AXError::attributeUnsupported},
      {"Unknown method 'GetNSelections'", AXError::attributeUnsupported},
      {"Something else went wrong", AXError::failure},
      {"", AXError::failure},
  };
  for (const auto& [message, code] : cases) {
    EXPECT_EQ(axErrorFromAtspiMessage(QString::fromUtf8(message)), code) << message;
  }
}

}  // namespace
