tarvex-cad 1
box
  at 0 0 0
  low 0.001 0.002 0.003
  high 0.011 0.004 0.023
end
