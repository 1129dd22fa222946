#include "setup/wizard.h"

#include "elastic/ElastFrm.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "mltlang/MLTLANG.h"
#include "shelltree/ShellTree.h"

std::string LanguageCode;

namespace {
const TPicture* ProductPicture = nullptr;
}  // namespace

void RegisterSetupClasses() {
  RegisterElasticClasses();
  RegisterShellTreeClasses();
  RegisterMltlangClasses();
}

void AdjustDesignScreen(TElasticForm& Elastic, int ScreenWidth) {
  if (ScreenWidth <= 640) {
    Elastic.DesignScreenWidth = 640;
    Elastic.DesignScreenHeight = 480;
  }
  if (ScreenWidth > 800) {
    Elastic.DesignScreenWidth = 1024;
    Elastic.DesignScreenHeight = 768;
  }
}

void AdjustDesignScreen(TElasticForm* Elastic) {
  if (Elastic) AdjustDesignScreen(*Elastic, Screen->Width());
}

void SetProductPicture(const TPicture* Picture) { ProductPicture = Picture; }

void ShowProductPicture(TImage& Image) {
  if (ProductPicture) Image.Picture()->Assign(ProductPicture);
}
