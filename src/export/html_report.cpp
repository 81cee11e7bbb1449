#include "export/html_report.h"

#include <array>

#include "changes/activity.h"
#include "export/change_walk.h"
#include "export/json_text.h"
#include "export/piece_writer.h"
#include "export/report_icons.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

// Text inside HTML elements and attributes.
void AppendHtml(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

// A JSON string inside a <script> element: no "<" that could close it.
void AppendScriptString(std::string& out, std::string_view text) {
    std::string json;
    AppendJsonString(json, text);
    for (char c : json) {
        if (c == '<') out += "\\u003c";
        else out += c;
    }
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const auto n = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) << 16 |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                                  static_cast<unsigned char>(bytes[i + 2]));
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += kDigits[(n >> 6) & 63];
        out += kDigits[n & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const auto n = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) << 16 |
                                                  (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0));
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += two ? kDigits[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

constexpr std::string_view kStyle = R"(<style>
body{font:13px Tahoma,Verdana,Segoe UI,sans-serif;margin:16px;color:#000}
h1{font-size:18px;margin:0 0 4px}
.sub{color:#444;margin-bottom:8px}
table.counts{border-collapse:collapse;margin:8px 0}
table.counts td{padding:1px 12px 1px 0}
table.counts td.n{text-align:right}
#bar{margin:8px 0}
#q{width:20em}
.hdr,.row{display:grid;grid-template-columns:var(--c0,45%) var(--c1,27%) 1fr;white-space:nowrap}
.hdr{font-weight:bold;border:1px solid #aaa;background:#eee}
.hdr div,.row div{overflow:hidden;text-overflow:ellipsis;padding:0 4px;border-right:1px solid #ddd}
#view{height:70vh;overflow:auto;border:1px solid #aaa;border-top:0;position:relative}
#space{position:relative}
.row{position:absolute;left:0;right:0;height:20px;line-height:20px;border-bottom:1px solid #eee}
.row.hit div:first-child span.t{background:#ff6}
.tg{display:inline-block;width:14px;text-align:center;cursor:pointer;color:#555;user-select:none}
.row.act{color:#808080}
.row img{width:16px;height:16px;vertical-align:-3px;margin-right:4px}
#print{display:none}
@media print{#bar,#view,.hdr{display:none}#print{display:block}#print .row{position:static;height:auto}}
</style>)";

constexpr std::string_view kScript = R"(<script>
(function(){
var rows=JSON.parse(document.getElementById('rows').textContent);
var icons=JSON.parse(document.getElementById('icons').textContent);
var n=rows.length,end=new Int32Array(n),open=new Uint8Array(n),low=null;
var st=[];for(var i=0;i<n;i++){while(st.length&&rows[st[st.length-1]][0]>=rows[i][0])end[st.pop()]=i;st.push(i);}
while(st.length)end[st.pop()]=n;
for(var i=0;i<n;i++)if(rows[i][0]<2)open[i]=1;
var H=20,view=document.getElementById('view'),space=document.getElementById('space'),vis=[],hits=null;
function build(){vis=[];if(hits){for(var i=0;i<n;i++)if(hits[i])vis.push(i);}
 else{for(var i=0;i<n;){vis.push(i);i=open[i]?i+1:end[i];}}
 space.style.height=(vis.length*H)+'px';draw();}
function row(i,top){var r=rows[i],d=document.createElement('div');d.className='row'+(hits&&hits[i]===2?' hit':'')+(r[5]?' act':'');
 if(top!==null)d.style.top=top+'px';
 var c=document.createElement('div');c.style.paddingLeft=(r[0]*16+4)+'px';
 var t=document.createElement('span');t.className='tg';t.textContent=end[i]>i+1?(open[i]||hits?'\u2212':'+'):'';t.dataset.i=i;c.appendChild(t);
 var im=document.createElement('img');im.src=icons[r[1]];im.alt='';c.appendChild(im);
 var s=document.createElement('span');s.className='t';s.textContent=r[2];c.appendChild(s);c.title=r[5]?r[2]+'\n'+r[5]:r[2];d.appendChild(c);
 for(var k=3;k<5;k++){var e=document.createElement('div');e.textContent=r[k]||'';e.title=r[k]||'';d.appendChild(e);}
 return d;}
function draw(){var a=Math.max(0,Math.floor(view.scrollTop/H)-10),b=Math.min(vis.length,a+Math.ceil(view.clientHeight/H)+20);
 var f=document.createDocumentFragment();for(var k=a;k<b;k++)f.appendChild(row(vis[k],k*H));space.replaceChildren(f);}
view.addEventListener('scroll',draw);
space.addEventListener('click',function(e){var i=e.target.dataset.i;if(i===undefined||hits)return;i=+i;open[i]=open[i]?0:1;build();});
space.addEventListener('dblclick',function(e){var r=e.target.closest('.row');if(!r||hits)return;var t=r.querySelector('.tg');if(t&&t.textContent){var i=+t.dataset.i;open[i]=open[i]?0:1;build();}});
var timer=0;document.getElementById('q').addEventListener('input',function(){clearTimeout(timer);timer=setTimeout(search,150);});
function search(){var q=document.getElementById('q').value.toLowerCase();if(!q){hits=null;build();return;}
 if(!low){low=new Array(n);for(var i=0;i<n;i++)low[i]=(rows[i][2]+'\u0001'+(rows[i][3]||'')+'\u0001'+(rows[i][4]||'')).toLowerCase();}
 hits=new Uint8Array(n);var up=[];for(var i=0;i<n;i++){while(up.length&&rows[up[up.length-1]][0]>=rows[i][0])up.pop();
  if(low[i].indexOf(q)>=0){hits[i]=2;for(var k=0;k<up.length;k++)if(!hits[up[k]])hits[up[k]]=1;}up.push(i);}
 build();}
window.addEventListener('beforeprint',function(){var p=document.getElementById('print'),f=document.createDocumentFragment();
 for(var k=0;k<vis.length;k++)f.appendChild(row(vis[k],null));p.replaceChildren(f);});
window.addEventListener('afterprint',function(){document.getElementById('print').replaceChildren();});
// Printing without the print command (a browser's own "print to PDF") only switches the media.
if(window.matchMedia){var pm=window.matchMedia('print');pm.addEventListener('change',function(e){if(e.matches)window.dispatchEvent(new Event('beforeprint'));});}
build();
if(window.matchMedia&&pm.matches)window.dispatchEvent(new Event('beforeprint'));
window.kelvoraReport={rows:n,visible:function(){return vis.length;},
 find:function(t,from){var f=-1,e=from>=0?end[from]:n;for(var i=from>=0?from+1:0;i<e;i++)if(rows[i][2]===t){if(end[i]>i+1)return i;if(f<0)f=i;}return f;},
 open:function(i){open[i]=1;build();},search:function(q){document.getElementById('q').value=q;search();}};
})();
</script>)";

}  // namespace

ReportWords ReportWords::Translated(std::string_view identifier) {
    ReportWords w;
    w.Title = FormatText(TranslateString(RS_CHANGES), {identifier});
    w.Changes = TranslateString(RS_DET_CHANGES);
    w.Before = TranslateString(RS_BEFORE);
    w.After = TranslateString(RS_AFTER);
    w.Search = TranslateString(RS_REPORT_SEARCH);
    w.Recorded = TranslateString(RS_REPORT_RECORDED);
    w.Total = TranslateString(RS_REPORT_TOTAL);
    w.Marks = MarkWords::Translated();
    return w;
}

void WriteHtml(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
               const ReportHeader& header, const ReportWords& words, const CellWords& cells, bool hexa,
               std::string& out, const std::function<void(std::string&)>& flush) {
    std::array<std::size_t, ckFileMovedTo + 1> counts{};
    std::size_t total = 0;
    TChangeCounts made;
    ForEachChange(tree, start, names, [&](NodeId node) {
        ++counts[static_cast<std::size_t>(tree.Data(node).Kind)];
        ++total;
        ++(tree.Data(node).Activity == arSetup ? made.Setup : made.Activity);
    });

    out += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>";
    AppendHtml(out, words.Title);
    out += "</title>\n";
    out += kStyle;
    out += "\n</head><body>\n<h1>";
    AppendHtml(out, words.Title);
    out += "</h1>\n<div class=\"sub\">Kelvora,&nbsp;&nbsp;&nbsp;&nbsp;";
    AppendHtml(out, header.Exported);
    if (!header.Recorded.empty()) {
        out += "<br>";
        AppendHtml(out, words.Recorded);
        out += ": ";
        AppendHtml(out, header.Recorded);
    }
    out += "</div>\n<table class=\"counts\">";
    for (std::int32_t kind = ckRegKeyCreated; kind <= ckFileMovedTo; ++kind) {
        if (counts[static_cast<std::size_t>(kind)] == 0) continue;
        out += "<tr><td>";
        AppendHtml(out, MarkOf(kind, words.Marks));
        out += "</td><td class=\"n\">" + std::to_string(counts[static_cast<std::size_t>(kind)]) + "</td></tr>";
    }
    out += "<tr><td><b>";
    AppendHtml(out, words.Total);
    out += "</b></td><td class=\"n\"><b>" + std::to_string(total) + "</b></td></tr></table>\n<div class=\"sub\">";
    AppendHtml(out, ChangeCountsText(made));
    out += "</div>\n";
    out += "<div id=\"bar\"><input id=\"q\" type=\"search\" placeholder=\"";
    AppendHtml(out, words.Search);
    out += "\" aria-label=\"";
    AppendHtml(out, words.Search);
    out += "\"></div>\n<div class=\"hdr\"><div>";
    AppendHtml(out, words.Changes);
    out += "</div><div>";
    AppendHtml(out, words.Before);
    out += "</div><div>";
    AppendHtml(out, words.After);
    out += "</div></div>\n<div id=\"view\"><div id=\"space\"></div></div>\n<div id=\"print\"></div>\n";

    out += "<script id=\"icons\" type=\"application/json\">[";
    for (int i = 0; i < kChangeImageCount; ++i) {
        if (i > 0) out += ',';
        out += "\"data:image/svg+xml;base64," + Base64(ChangeIconSvg(i)) + "\"";
    }
    out += "]</script>\n<script id=\"rows\" type=\"application/json\">[";
    // One row per node in the window's order: depth, icon, the three cells,
    // and for activity the reason why it is marked so (greyed, in the tooltip).
    bool first = true;
    ForEachNodeInOrder(tree, start, names, [&](NodeId node, int depth) {
        const TNodeData& d = tree.Data(node);
        const CellSource source{d.Kind, d.Name, d.OldData.Get(), d.OldSize, d.NewData.Get(), d.NewSize, d.ValueType};
        out += first ? "\n[" : ",\n[";
        first = false;
        out += std::to_string(depth) + "," + std::to_string(ImageIndexOf(d.Kind, d.ValueType)) + ",";
        AppendScriptString(out, CellText(source, 0, hexa, cells));
        for (int column = 1; column < 3; ++column) {
            const std::string text = CellText(source, column, hexa, cells);
            out += ',';
            if (text.empty()) out += '0';
            else AppendScriptString(out, text);
        }
        if (d.Activity != arSetup && IsStoredKind(d.Kind)) {
            out += ',';
            AppendScriptString(out, ActivityReasonText(d.Activity));
        }
        out += ']';
        flush(out);
    });
    out += "]</script>\n";
    out += kScript;
    out += "\n</body></html>\n";
}

bool ExportHtml(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                const ChangesTree::Access& tree, NodeId start, const ReportHeader& header, bool hexa) {
    PieceWriter writer(files, path);
    if (!writer.Ok()) return false;
    WriteHtml(tree, start, names, header, ReportWords::Translated(header.Identifier), CellWords::Translated(), hexa,
              writer.Text(), [&](std::string&) { writer.Flush(); });
    return writer.Close();
}

}  // namespace kelvora
