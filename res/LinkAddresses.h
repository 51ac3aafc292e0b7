#pragma once

// Every web address and contact the program shows, in one place.
inline constexpr const char* kUpdatePageAddress = "https://ravelle.example.org/updates";
inline constexpr const char* kHomePageAddress = "https://ravelle.example.org/";
inline constexpr const char* kGuidePageAddress = "https://ravelle.example.org/guide";
inline constexpr const char* kShopAddress = "https://ravelle.example.org/shop";
inline constexpr const char* kShopName = "Ravelle Shop";
inline constexpr const char* kContactAddress = "support@ravelle.example.org";
