#pragma once

// Product identity shown in the window, the splash and About, and used for addresses.
namespace product {

inline constexpr char kName[] = "Quentara";
inline constexpr char kVersion[] = "1.76";
inline constexpr char kMaker[] = "Ostrelle";

// The product's web site: article pages, the questions-and-answers section, About links.
inline constexpr char kSiteAddress[] = "https://quentara.app/";
inline constexpr char kQuestionsAddress[] = "https://quentara.app/faq/";
inline constexpr char kMakerAddress[] = "https://ostrelle.com/";

} // namespace product
