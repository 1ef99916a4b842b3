#include "platform/workspacepresence.h"

#include "core/installed.h"

namespace {

class OneWorkspace final : public WorkspacePresence {
 public:
  void showOnAllWorkspaces(QWindow&) override {}
};

using InstalledPresence = Installed<WorkspacePresence, OneWorkspace>;

}  // namespace

WorkspacePresence& WorkspacePresence::current() { return InstalledPresence::current(); }

void WorkspacePresence::install(WorkspacePresence* presence) { InstalledPresence::install(presence); }
