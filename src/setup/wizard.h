// What the wizard's pages share: the component classes their resources hold, the fit
// of every page to the running screen, the product language the language page
// chooses and the installation writes, and the product picture every page shows.
#pragma once

#include <string>

class TElasticForm;
class TImage;
class TPicture;

// The product's language as a two-letter code ("US", "DE", ...). The language page
// sets it; the installation run writes it into the product's settings file.
extern std::string LanguageCode;

// Makes the components the wizard's form resources hold, beyond the GUI library's
// own controls, known to the form reader. Every form calls it before reading its
// resource; later calls do nothing.
void RegisterSetupClasses();

// The pages are laid out for screens of 640 x 480, 800 x 600 and 1024 x 768; a page
// is scaled only from the nearest of these to the screen it runs on. Every page's
// creation handler calls this before the page is first shown.
void AdjustDesignScreen(TElasticForm& Elastic, int ScreenWidth);
void AdjustDesignScreen(TElasticForm* Elastic);  // for the running screen; null does nothing

// The product picture is held by the welcome page's resource alone; the welcome page,
// made first, hands it over (not owned), and the other pages show the same.
void SetProductPicture(const TPicture* Picture);
void ShowProductPicture(TImage& Image);
