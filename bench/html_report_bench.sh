#!/usr/bin/env bash
# The HTML report of 100,000 changes in headless Chromium (Debian's
# chromium): how long after the navigation began its rows are built and
# laid out, and how long opening a branch of 5,000 keys takes until it is
# laid out again. The report comes from export_bench.
# Usage: bench/html_report_bench.sh REPORT.html [RUNS]
set -euo pipefail
report="$(realpath "$1")"
runs="${2:-3}"
page="$(dirname "$report")/report-timed.html"
{
  sed 's|</body></html>||' "$report"
  cat <<'JS'
<script>
// Runs right after the report's own script: the rows are built, then laid
// out (offsetHeight forces the layout a paint needs); then the branch of
// 5,000 keys is opened and laid out again.
(function(){
  var h=document.body.offsetHeight,shown=performance.now(),r=window.kelvoraReport;
  r.open(r.find('HKEY_CLASSES_ROOT'));h=document.body.offsetHeight;
  var i=r.find('CLSID'),before=r.visible(),t0=performance.now();r.open(i);h+=document.body.offsetHeight;
  var t1=performance.now(),d=document.createElement('pre');d.id='bench';
  d.textContent='rows '+r.rows+': laid out '+shown.toFixed(0)+' ms after the navigation began; a branch of '+
    (r.visible()-before)+' rows opened and laid out in '+(t1-t0).toFixed(1)+' ms';
  document.body.appendChild(d);
})();
</script>
</body></html>
JS
} > "$page"
echo "report: $(du -h "$report" | cut -f1)"
for _ in $(seq "$runs"); do
  chromium --headless --no-sandbox --disable-gpu --window-size=1100,800 --dump-dom "file://$page" 2>/dev/null |
    sed -n 's/.*<pre id="bench">\(.*\)<\/pre>.*/\1/p'
done
