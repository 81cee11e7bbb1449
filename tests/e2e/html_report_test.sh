#!/usr/bin/env bash
# The HTML report in a real browser: headless Chromium (Debian's chromium)
# opens a report that kelvora-cli wrote and photographs the summary, a
# collapsed and an expanded branch and a search; the rows it shows are read
# back from the page.
# Usage: html_report_test.sh REPORT.html OUTFOLDER [BRANCH SEARCH]
set -euo pipefail
report="$(realpath "$1")"
out="$2"
branch="${3:-KDemo App}"
query="${4:-kdemo.exe}"
mkdir -p "$out"
out="$(realpath "$out")"
command -v chromium >/dev/null || { echo "FAIL: chromium is not installed" >&2; exit 1; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# The report with a line that does what the address's fragment asks
# (#open=NAME, #search=TEXT) and lists the rows shown, for the checks.
page="$out/report-driven.html"
{
  sed 's|</body></html>||' "$report"
  cat <<'JS'
<script>
(function(){var a=decodeURIComponent(location.hash.slice(1)),k=a.indexOf('='),r=window.kelvoraReport;
if(a.slice(0,k)==='open'){var t=a.slice(k+1).split('/'),i=-1;for(var j=0;j<t.length;j++){i=r.find(t[j],i);r.open(i);}}
if(a.slice(0,k)==='search')r.search(a.slice(k+1));
var d=document.createElement('pre');d.id='shown';d.style.display='none';
d.textContent=Array.from(document.querySelectorAll('#space .row')).map(function(e){return e.textContent;}).join('\n');
document.body.appendChild(d);})();
</script>
</body></html>
JS
} > "$page"

browse() {  # FRAGMENT SHOT: a screenshot and the rows shown
  local url="file://$page#$1"
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1100,800 \
    --screenshot="$out/$2.png" "$url" >/dev/null 2>&1 || fail "chromium"
  chromium --headless --no-sandbox --disable-gpu --dump-dom "$url" 2>/dev/null |
    sed -n '/<pre id="shown"/,/<\/pre>/p' | sed 's/<[^>]*>//g' > "$out/$2.rows"
}

browse "" summary
grep -q 'My Computer' "$out/summary.rows" || fail "the tree is not shown"
grep -q 'File System' "$out/summary.rows" || fail "no File System branch"
grep -q 'Registry' "$out/summary.rows" || fail "no Registry branch"
# "File System" before "Registry", as in the window.
[ "$(grep -n 'File System' "$out/summary.rows" | cut -d: -f1)" -lt "$(grep -n '^.*Registry' "$out/summary.rows" | head -1 | cut -d: -f1)" ] ||
  fail "the order differs from the window's"
grep -qF "$branch" "$out/summary.rows" && fail "the branch is open before it is opened"

browse "open=C:/Program Files/$branch" expanded
grep -qF "$branch" "$out/expanded.rows" || fail "the opened branch is not shown"
[ "$(wc -l < "$out/expanded.rows")" -gt "$(wc -l < "$out/summary.rows")" ] || fail "opening shows no more rows"

browse "search=$query" search
grep -qF "$query" "$out/search.rows" || fail "the search does not show its match"
[ "$(wc -l < "$out/search.rows")" -lt 12 ] || fail "the search does not filter the rows"
echo "PASS: screenshots in $out"
