#pragma once

#include <string>
#include <string_view>

namespace vesk {

// The text with &, <, >, " and ' replaced by their character references, so that it
// stands as itself in HTML content and in quoted attribute values. Every other byte,
// UTF-8 sequences included, is kept as it is.
std::string escapeHtml(std::string_view text);

// The bytes in base64 (RFC 4648, standard alphabet, padded with '=', no line breaks).
std::string base64(std::string_view bytes);

// A relative path written as a URL path: each component percent-encoded byte by
// byte (all but A-Z a-z 0-9 - . _ ~), components joined by '/'. Both '\' and '/'
// separate components.
std::string urlPath(std::string_view relativePath);

}  // namespace vesk
