# Clustered bars of MB/s per workload for every codec (log scale), from the data that
# bench/report.js writes. Called by bench/compare.sh:
#   gnuplot -e "datafile='...'; outfile='...'" bench/chart.gp
set terminal svg size 1100,520 dynamic font "sans,12" background rgb "white"
set output outfile
set title "Hessian 1.0 codecs, MB/s of the same messages (higher is better, log scale)"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.9 border -1
set boxwidth 0.9
set logscale y
set yrange [0.1:*]
set ylabel "MB/s"
set grid ytics
set key below horizontal
set termoption noenhanced
set xtics nomirror
set datafile missing "NaN"
plot datafile using 2:xtic(1) title "KeloHessian decode" lc rgb "#1f4e9c", \
     '' using 3 title "KeloHessian encode" lc rgb "#6fa0e8", \
     '' using 4 title "Java decode (fastest)" lc rgb "#b5361c", \
     '' using 5 title "Java encode (fastest)" lc rgb "#ec9a7c", \
     '' using 6 title "hessian.js decode" lc rgb "#2d7a2d", \
     '' using 7 title "hessian.js encode" lc rgb "#93d193", \
     '' using 8 title "scan ceiling" lc rgb "#666666"
