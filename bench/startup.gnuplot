# The three start-up distributions as cumulative curves; bench/measure calls this in its results
# folder with runs=N.
set terminal pngcairo size 900,540 font "Liberation Sans,11"
set output "startup.png"
set title sprintf("Start-up, exec to first frame on screen (%d runs each)", runs)
set xlabel "milliseconds"
set ylabel "fraction of runs at or below"
set yrange [0:1.02]
set grid
set key bottom right
plot "start-baseline.cdf" using 1:2 with steps linewidth 2 title "bare Qt form", \
     "start-splash-then-form.cdf" using 1:2 with steps linewidth 2 title "bare splash, then the bare form", \
     "start-quibly.cdf" using 1:2 with steps linewidth 2 title "Quibly"
