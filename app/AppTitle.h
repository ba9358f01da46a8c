#pragma once

// The program's title: message boxes without a title of their own carry it,
// and the contact link uses it as the mail's subject.
inline constexpr char AppTitle[] = "Hidewell";
