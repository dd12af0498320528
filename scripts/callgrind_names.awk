# Names in a callgrind output file, for the scripts that read one. Callgrind
# writes a name once as "fn=(12) name" and after that as "fn=(12)"; objects
# ("ob=", "cob=") have ids of their own, functions ("fn=", "cfn=") share one.
#   name(s, kind): the name behind s, the text after "fn=" or "ob=", with
#   kind "fn" or "ob".
function name(s, kind,   id, rest) {
  if (match(s, /^\([0-9]+\)/)) {
    id = substr(s, RSTART, RLENGTH); rest = substr(s, RLENGTH + 2)
    if (rest != "") names[kind, id] = rest
    return names[kind, id]
  }
  return s
}
