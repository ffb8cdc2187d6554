#pragma once
// The window as main() makes it: a workspace, the window laid out from it,
// and the window's features, which the benchmarks drive.

#include "app/EditingController.h"
#include "app/FileController.h"
#include "app/FindController.h"
#include "app/RecoveryKeeper.h"
#include "app/TMainForm.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "ui/FindBar.h"

namespace bench {

struct Window {
    app::Workspace workspace;
    app::TMainForm form{workspace};
    app::Features& features = form.features();

    void repaintViews()
    {
        for (model::TreeId id : model::kAllTrees)
            features.columns->view(id)->viewport()->repaint();
    }
};

} // namespace bench
