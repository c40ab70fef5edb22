#include "app/TextTable.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "app/TextFormat.h"

TextTable Texts;

namespace {

constexpr UINT kLiteralCodePage = 1252;

// The licence agreement: a heading of two lines, then paragraphs separated by empty lines.
const char kAgreement[] =
    "%3\r\n"
    "SOFTWARE LICENCE AGREEMENT\r\n"
    "\r\n"
    "IMPORTANT - READ CAREFULLY: This licence agreement (\"Agreement\") is a legal agreement between you, either an individual or a single entity, and %2 for the software product %1, which includes computer software, associated media, printed materials and online or electronic documentation (together, the \"Software\").\r\n"
    "\r\n"
    "By installing, copying or otherwise using the Software you agree to be bound by the terms of this Agreement. If you do not agree to the terms of this Agreement, do not install or use the Software.\r\n"
    "\r\n"
    "1. GRANT OF LICENCE. %2 grants you a non-exclusive, non-transferable licence to install and use one copy of the Software on a single computer, and to make one copy of the Software solely for backup or archival purposes.\r\n"
    "\r\n"
    "2. RESTRICTIONS. You may not rent, lease, lend, sublicense or otherwise transfer the Software. You may not reverse engineer, decompile or disassemble the Software, except and only to the extent that such activity is expressly permitted by applicable law notwithstanding this limitation.\r\n"
    "\r\n"
    "3. SEPARATION OF COMPONENTS. The Software is licensed as a single product. Its component parts, including the search grammars and the shell extension shared by the NetPindle family, may not be separated for use on more than one computer.\r\n"
    "\r\n"
    "4. SEARCH SERVICES. %1 sends your queries to third-party search services and shows the results they return. %2 does not control those services, is not responsible for their content or availability, and does not endorse any site that they list.\r\n"
    "\r\n"
    "5. UPDATES. %2 may provide updated search grammars or program versions. Any update that replaces or supplements the Software is part of the Software and is governed by this Agreement unless it comes with terms of its own.\r\n"
    "\r\n"
    "6. REGISTRATION INFORMATION. The details that you give during installation are stored on your computer and are used only to provide product support and to notify you of updates. %2 does not give, share, trade or sell this information to others.\r\n"
    "\r\n"
    "7. COPYRIGHT. All title and copyrights in and to the Software and any copies of it are owned by %2 or its suppliers. The Software is protected by copyright laws and international treaty provisions. You must treat the Software like any other copyrighted material.\r\n"
    "\r\n"
    "8. TERMINATION. Without prejudice to any other rights, %2 may terminate this Agreement if you fail to comply with its terms. In such event you must destroy all copies of the Software and all of its component parts.\r\n"
    "\r\n"
    "9. EXPORT. You agree that you will not export or re-export the Software to any country, person or entity subject to export restrictions under applicable law.\r\n"
    "\r\n"
    "10. NO WARRANTIES. THE SOFTWARE IS PROVIDED \"AS IS\" WITHOUT WARRANTY OF ANY KIND. %3 DISCLAIMS ALL WARRANTIES, EITHER EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO IMPLIED WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND NON-INFRINGEMENT.\r\n"
    "\r\n"
    "11. LIMITATION OF LIABILITY. IN NO EVENT SHALL %3 OR ITS SUPPLIERS BE LIABLE FOR ANY SPECIAL, INCIDENTAL, INDIRECT OR CONSEQUENTIAL DAMAGES WHATSOEVER, INCLUDING DAMAGES FOR LOSS OF BUSINESS PROFITS, BUSINESS INTERRUPTION OR LOSS OF BUSINESS INFORMATION, ARISING OUT OF THE USE OF OR INABILITY TO USE THE SOFTWARE.\r\n"
    "\r\n"
    "12. ENTIRE LIABILITY. The entire liability of %2 and your exclusive remedy shall be, at the option of %2, either the return of the price paid, if any, or the replacement of the Software.\r\n"
    "\r\n"
    "13. HIGH-RISK ACTIVITIES. The Software is not designed or intended for use in hazardous environments requiring fail-safe performance, in which its failure could lead directly to death, personal injury or severe physical or environmental damage.\r\n"
    "\r\n"
    "14. GOVERNING LAW. This Agreement is governed by the laws of the place where %2 has its registered office, without regard to its conflict of law provisions.\r\n"
    "\r\n"
    "15. SEVERABILITY. If any provision of this Agreement is held to be unenforceable, that provision shall be enforced to the maximum extent permissible, and the remaining provisions shall continue in full force and effect.\r\n"
    "\r\n"
    "16. ENTIRE AGREEMENT. This Agreement is the entire agreement between you and %2 relating to the Software and supersedes all prior or contemporaneous oral or written communications, proposals and representations.\r\n"
    "\r\n"
    "If you accept all the terms of this Agreement, press the Yes button to continue the installation of %1. If you do not accept them, press the No button; the installation will end and nothing will be installed.";

const char* const kCountryNames[kCountryCount] = {
    "Other",
    "Afghanistan",
    "Albania",
    "Algeria",
    "American Samoa",
    "Andorra",
    "Angola",
    "Anguilla",
    "Antigua",
    "Argentina",
    "Armenia",
    "Aruba",
    "Ascension Island",
    "Australia",
    "Australian Antarctic Territory",
    "Austria",
    "Azerbaijan",
    "Bahamas",
    "Bahrain",
    "Bangladesh",
    "Barbados",
    "Barbuda",
    "Belarus",
    "Belgium",
    "Belize",
    "Benin",
    "Bermuda",
    "Bhutan",
    "Bolivia",
    "Bosnia and Herzegovina",
    "Botswana",
    "Brazil",
    "British Virgin Islands",
    "Brunei",
    "Bulgaria",
    "Burkina Faso",
    "Burundi",
    "Cambodia",
    "Cameroon",
    "Canada",
    "Cape Verde Islands",
    "Cayman Islands",
    "Central African Republic",
    "Chad",
    "Chile",
    "China",
    "Christmas Island",
    "Cocos-Keeling Islands",
    "Colombia",
    "Comoros",
    "Congo",
    "Cook Islands",
    "Costa Rica",
    "Croatia",
    "Cuba",
    "Cyprus",
    "Czech Republic",
    "Denmark",
    "Diego Garcia",
    "Djibouti",
    "Dominica",
    "Dominican Republic",
    "Ecuador",
    "Egypt",
    "El Salvador",
    "Equatorial Guinea",
    "Eritrea",
    "Estonia",
    "Ethiopia",
    "Faeroe Islands",
    "Falkland Islands",
    "Fiji Islands",
    "Finland",
    "France",
    "French Antilles",
    "French Guiana",
    "French Polynesia",
    "Gabon",
    "Gambia",
    "Georgia",
    "Germany",
    "Ghana",
    "Gibraltar",
    "Greece",
    "Greenland",
    "Grenada",
    "Guadeloupe",
    "Guam",
    "Guantanamo Bay",
    "Guatemala",
    "Guinea-Bissau",
    "Guinea",
    "Guyana",
    "Haiti",
    "Honduras",
    "Hong Kong",
    "Hungary",
    "Iceland",
    "India",
    "Indonesia",
    "Iran",
    "Iraq",
    "Ireland",
    "Israel",
    "Italy",
    "Ivory Coast",
    "Jamaica",
    "Japan",
    "Jordan",
    "Kazakhstan",
    "Kenya",
    "Kiribati Republic",
    "Korea (North)",
    "Korea (Republic of)",
    "Kuwait",
    "Kyrgyz Republic",
    "Laos",
    "Latvia",
    "Lebanon",
    "Lesotho",
    "Liberia",
    "Libya",
    "Liechtenstein",
    "Lithuania",
    "Luxembourg",
    "Macau",
    "Macedonia",
    "Madagascar",
    "Malawi",
    "Malaysia",
    "Maldives",
    "Mali",
    "Malta",
    "Marshall Islands",
    "Martinique",
    "Mauritania",
    "Mauritius",
    "Mayotte Island",
    "Mexico",
    "Micronesia",
    "Moldova",
    "Monaco",
    "Mongolia",
    "Montserrat",
    "Morocco",
    "Mozambique",
    "Myanmar",
    "Namibia",
    "Nauru",
    "Nepal",
    "Netherlands",
    "Netherlands Antilles",
    "Nevis",
    "New Caledonia",
    "New Zealand",
    "Nicaragua",
    "Niger",
    "Nigeria",
    "Niue",
    "Norfolk Island",
    "Norway",
    "Oman",
    "Pakistan",
    "Palau",
    "Panama",
    "Papua New Guinea",
    "Paraguay",
    "Peru",
    "Philippines",
    "Poland",
    "Portugal",
    "Puerto Rico",
    "Qatar",
    "Reunion Island",
    "Romania",
    "Rota Island",
    "Russia",
    "Rwanda",
    "Saint Lucia",
    "Saipan Island",
    "San Marino",
    "Sao Tome and Principe",
    "Saudi Arabia",
    "Senegal Republic",
    "Seychelle Islands",
    "Sierra Leone",
    "Singapore",
    "Slovakia",
    "Slovenia",
    "Solomon Islands",
    "Somalia",
    "South Africa",
    "Spain",
    "Sri Lanka",
    "St. Helena",
    "St. Kitts",
    "St. Pierre and Miquelon",
    "St. Vincent and the Grenadines",
    "Sudan",
    "Suriname",
    "Swaziland",
    "Sweden",
    "Switzerland",
    "Syria",
    "Taiwan, Republic of China",
    "Tajikistan",
    "Tanzania",
    "Thailand",
    "Tinian Island",
    "Togo",
    "Tokelau",
    "Tonga",
    "Trinidad and Tobago",
    "Tunisia",
    "Turkey",
    "Turkmenistan",
    "Turks and Caicos Islands",
    "Tuvalu",
    "Uganda",
    "Ukraine",
    "United Arab Emirates",
    "United Kingdom",
    "United States of America",
    "United States Virgin Islands",
    "Uruguay",
    "Uzbekistan",
    "Vanuatu",
    "Vatican City",
    "Venezuela",
    "Vietnam",
    "Wallis and Futuna Islands",
    "Western Samoa",
    "Yemen",
    "Yugoslavia",
    "Zaire",
    "Zambia",
    "Zimbabwe",
};

struct TextEntry {
  char** slot;
  const char* literal;
};

// Setup texts, then page texts, then wizard frame texts: the order in which they are built.
const TextEntry kEntries[] = {
    {&Texts.productName, "WebPindle"},
    {&Texts.productMenuText, "&Web Pages..."},
    {&Texts.productHelpText, "Find web pages"},
    {&Texts.installationCaption, "%1 Installation"},
    {&Texts.progressTitle, "Installing..."},
    {&Texts.insufficientTempSpace, "Insufficient free drive space to complete installation."},
    {&Texts.modifyingRegistry, "Modifying registry..."},
    {&Texts.addingToFindMenu, "Adding to find menu..."},
    {&Texts.setupComplete, "Setup complete..."},
    {&Texts.installationFailed, "Installation failed - %1."},
    {&Texts.installationComplete, "Installation complete."},
    {&Texts.decompressing, "Decompressing %1..."},
    {&Texts.searchDescription, "%1 Search"},
    {&Texts.unknownError, "Unknown error"},
    {&Texts.cannotCreateDestination, "Unable to create destination directory"},
    {&Texts.cannotCopy, "Unable to copy %1"},
    {&Texts.cannotUpdateRegistry, "Unable to update registry"},
    {&Texts.cannotUpdateGrammars, "Unable to update search grammars"},

    {&Texts.agreement, kAgreement},
    {&Texts.agreementYes, "&Yes"},
    {&Texts.agreementNo, "&No"},
    {&Texts.notice,
     "Note: You must remove all previous versions of the Pindles from your system before "
     "continuing with this installation.\r\n\r\n"},
    {&Texts.installPathInaccessible,
     "The given installation path cannot be accessed.  Please ensure that the path is valid "
     "and that you have write permission to the specified directory."},
    {&Texts.installSpaceLow,
     "There does not appear to be enough free space on the drive you are attempting to install "
     "on. Do you want continue the installation anyway? (Not recommended)"},
    {&Texts.registrationIncomplete,
     "You have not completed the registration form. FREE product support is only provided to "
     "registered users. Morvane does not give, share, trade, or sell user information to others. "
     "Without a current, valid email address we cannot notify you of maintenance updates, "
     "upgrades, and special offers.\r\n\r\nDo you want to complete the registration form?"},
    {&Texts.proxyTypeNone, "None"},
    {&Texts.proxyTypeCern, "CERN"},
    {&Texts.proxyTypeSocks, "SOCKS"},
    {&Texts.proxyTypeUserAtHost, "User@Host"},
    {&Texts.registerYourCopy, "Please register your copy of %1."},
    {&Texts.fullNameLabel, "&Full name:"},
    {&Texts.companyNameLabel, "Com&pany name:"},
    {&Texts.emailLabel, "&Email address:"},
    {&Texts.countryLabel, "&Country:"},
    {&Texts.addToDesktop, "&Add %1 to the desktop"},
    {&Texts.installPathLabel, "Install &path:"},
    {&Texts.browseButton, "B&rowse..."},
    {&Texts.proxyIntroduction,
     "Check whether your LAN or ISP use a proxy/firewall for security purposes when connecting "
     "to the Internet. If so, enter the addresses and port numbers of the proxy servers below."},
    {&Texts.proxyNote,
     "Note: If you haven't set up a proxy for your browser, you shouldn't need to do so here."},
    {&Texts.httpProxyLabel, "&HTTP proxy:"},
    {&Texts.httpAddressLabel, "Address:"},
    {&Texts.httpPortLabel, "Port:"},
    {&Texts.veronicaProxyLabel, "&Veronica proxy:"},
    {&Texts.veronicaAddressLabel, "Address:"},
    {&Texts.veronicaPortLabel, "Port:"},
};

const TextEntry kFrameEntries[] = {
    {&Texts.backButton, "< &Back"},
    {&Texts.nextButton, "&Next >"},
    {&Texts.finishButton, "Finish"},
    {&Texts.cancelButton, "Cancel"},
    {&Texts.cancelQuestion, "Are you sure you wish to cancel the installation?"},
};

// A copy of the literal with "*" in place of every byte above 127.
char* CopyWithStars(const char* literal) {
  char* copy = DuplicateText(literal);
  if (!copy) return nullptr;
  for (char* p = copy; *p; ++p) {
    if (static_cast<unsigned char>(*p) > 127) *p = '*';
  }
  return copy;
}

void BuildEntries(const TextEntry* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) *entries[i].slot = ConvertText(entries[i].literal);
}

void ReleaseEntries(const TextEntry* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    ReleaseText(*entries[i].slot);
    *entries[i].slot = nullptr;
  }
}

// Builds the table before the entry point and releases it after the entry point returns.
struct TextTableLifetime {
  TextTableLifetime() { BuildTextTable(); }
  ~TextTableLifetime() { ReleaseTextTable(); }
} textTableLifetime;

}  // namespace

char* ConvertText(const char* literal) {
  int wideLength = MultiByteToWideChar(kLiteralCodePage, 0, literal, -1, nullptr, 0);
  if (wideLength == 0) return CopyWithStars(literal);
  wchar_t* wide = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (size_t(wideLength) + 1)));
  if (!wide) return CopyWithStars(literal);
  MultiByteToWideChar(kLiteralCodePage, 0, literal, -1, wide, wideLength);
  wide[wideLength] = L'\0';

  const DWORD flags = WC_COMPOSITECHECK | WC_DISCARDNS;
  int length = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, "*", nullptr);
  char* result = nullptr;
  if (length > 0) result = static_cast<char*>(malloc(size_t(length) + 1));
  if (result &&
      WideCharToMultiByte(CP_ACP, flags, wide, -1, result, length, "*", nullptr) == length) {
    result[length] = '\0';
  } else {
    // A code page that refuses these flags (UTF-8 does) still gets a readable text.
    free(result);
    result = CopyWithStars(literal);
  }
  free(wide);
  return result;
}

int CompareNoCase(const char* a, const char* b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) - 2;
}

void BuildTextTable() {
  BuildEntries(kEntries, sizeof kEntries / sizeof kEntries[0]);
  for (int i = 0; i < kCountryCount; ++i) Texts.countryNames[i] = ConvertText(kCountryNames[i]);
  BuildEntries(kFrameEntries, sizeof kFrameEntries / sizeof kFrameEntries[0]);
}

void ReleaseTextTable() {
  ReleaseEntries(kFrameEntries, sizeof kFrameEntries / sizeof kFrameEntries[0]);
  for (int i = 0; i < kCountryCount; ++i) {
    ReleaseText(Texts.countryNames[i]);
    Texts.countryNames[i] = nullptr;
  }
  ReleaseEntries(kEntries, sizeof kEntries / sizeof kEntries[0]);
}
