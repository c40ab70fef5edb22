// Every text that the user can see, converted once at start-up from Windows-1252 literals
// into the system's ANSI code page, and released when the program ends.
#pragma once

constexpr int kCountryCount = 237;  // "Other" and 236 countries

struct TextTable {
  // Setup texts: the product's names, the install sequence's messages and progress texts.
  char* productName;                // "WebPindle"
  char* productMenuText;            // "&Web Pages..."
  char* productHelpText;            // "Find web pages"
  char* installationCaption;        // "%1 Installation"
  char* progressTitle;              // "Installing..."
  char* insufficientTempSpace;
  char* modifyingRegistry;
  char* addingToFindMenu;
  char* setupComplete;
  char* installationFailed;         // "Installation failed - %1."
  char* installationComplete;
  char* decompressing;              // "Decompressing %1..."
  char* searchDescription;          // "%1 Search"
  char* unknownError;
  char* cannotCreateDestination;
  char* cannotCopy;                 // "Unable to copy %1"
  char* cannotUpdateRegistry;
  char* cannotUpdateGrammars;

  // Page texts.
  char* agreement;                  // %1 product, %2 company, %3 company in capitals
  char* agreementYes;
  char* agreementNo;
  char* notice;
  char* installPathInaccessible;
  char* installSpaceLow;
  char* registrationIncomplete;
  char* proxyTypeNone;
  char* proxyTypeCern;
  char* proxyTypeSocks;
  char* proxyTypeUserAtHost;
  char* registerYourCopy;           // "Please register your copy of %1."
  char* fullNameLabel;
  char* companyNameLabel;
  char* emailLabel;
  char* countryLabel;
  char* addToDesktop;               // "&Add %1 to the desktop"
  char* installPathLabel;
  char* browseButton;
  char* proxyIntroduction;
  char* proxyNote;
  char* httpProxyLabel;
  char* httpAddressLabel;
  char* httpPortLabel;
  char* veronicaProxyLabel;
  char* veronicaAddressLabel;
  char* veronicaPortLabel;
  char* countryNames[kCountryCount];  // display names: "Other", then the countries

  // Wizard frame texts.
  char* backButton;
  char* nextButton;
  char* finishButton;
  char* cancelButton;
  char* cancelQuestion;
};

// The one table; complete and read-only from before the entry point to after its end.
extern TextTable Texts;

// A new text: the Windows-1252 literal in the system's ANSI code page. Never fails: when
// the conversion cannot be made, a copy with "*" for every byte above 127. Released with
// ReleaseText. Null only when memory runs out.
char* ConvertText(const char* literal);

// Compares two texts in the user's default locale without regard to case:
// negative when a sorts first, 0 when equal, positive when a sorts after b.
int CompareNoCase(const char* a, const char* b);

// Builds and releases the table; the program does both around its entry point by itself.
void BuildTextTable();
void ReleaseTextTable();
